// What a media file holds, told from its bytes: the kind of sound in it and
// its playing time. The layer decides from this, before anything plays,
// which device opens a file and whether the file can be played at all, so
// that opening answers at once and truthfully.
//
//   RIFF....WAVE                       wave audio (PCM or any other WAVE)
//   RIFF....RMID with a "data" chunk   MIDI (a standard MIDI file inside)
//   MThd                               MIDI (standard MIDI file)
//   ID3 tag, or MPEG audio frames      MPEG audio (MP3, also layers I, II)
//
// Each reader checks the structure it needs for the length and refuses a
// file that is cut short or malformed there (std::nullopt). The bytes are
// the whole file; nothing is read beyond them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace dorvem::mci {

enum class MediaKind { kUnknown, kWave, kMpegAudio, kMidi };

// The kind of the file whose bytes begin with `head` (any length; the first
// 12 bytes decide, and for bare MPEG audio the first two frame headers).
MediaKind SniffMediaKind(std::span<const std::uint8_t> head);

// Playing time in milliseconds (rounded down) of a file of `kind`, or
// nothing when its structure does not allow playing it.
std::optional<std::uint32_t> MediaLengthMs(MediaKind kind, std::span<const std::uint8_t> file);

// The readers behind MediaLengthMs, one per format (wave_length.cpp,
// mp3_length.cpp, midi_length.cpp).
//
// Wave: the "data" chunk's size (at most what the file holds) over the
// "fmt " chunk's average bytes per second.
std::optional<std::uint32_t> WaveLengthMs(std::span<const std::uint8_t> file);
// MPEG audio: after an ID3v2 tag, consecutive frames from the first valid
// header; a Xing/Info frame with a frame count gives the count instead.
std::optional<std::uint32_t> Mp3LengthMs(std::span<const std::uint8_t> file);
// The length in bytes of the MPEG audio frame whose header begins `bytes`,
// or 0 when they do not begin with a valid header (free-format bit rates
// count as invalid).
std::size_t MpegFrameLength(std::span<const std::uint8_t> bytes);
// MIDI: the last end-of-track of any track, in time through the tempo
// changes of every track (120 beats per minute until the first one); a
// RIFF-RMID file is read from its "data" chunk.
std::optional<std::uint32_t> MidiLengthMs(std::span<const std::uint8_t> file);

}  // namespace dorvem::mci
