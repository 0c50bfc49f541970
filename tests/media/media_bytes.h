// Media files built byte by byte for the tests: WAVE files of a sine tone,
// standard MIDI files from events, RIFF-RMID wrappers and MPEG audio frame
// headers. The bytes follow the published file formats, written out here
// independently of the program's readers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dorvem::testing {

using Bytes = std::vector<std::uint8_t>;

// A PCM WAVE file: `samples` frames of a 440 Hz sine at half scale, 16-bit,
// `channels` channels. `extraChunk` (id and odd-sized body) goes between
// the format and the data when not empty.
Bytes WaveFile(std::uint32_t sampleRate, std::uint16_t channels, std::uint32_t samples,
               const std::string& extraChunk = {});

// A variable-length quantity of a MIDI file.
Bytes Vlq(std::uint32_t value);

// A standard MIDI file: header with `format` and `division`, then one
// "MTrk" chunk per track body (events with their delta times, as given).
Bytes MidiFile(std::uint16_t format, std::uint16_t division, const std::vector<Bytes>& tracks);

// Track events.
Bytes NoteOn(std::uint32_t delta, std::uint8_t key);
Bytes NoteOff(std::uint32_t delta, std::uint8_t key);
Bytes Tempo(std::uint32_t delta, std::uint32_t microsPerQuarter);
Bytes EndOfTrack(std::uint32_t delta);
// One C4 note of `ticks` ticks at 480 a quarter, at the default tempo.
Bytes OneNoteMidi(std::uint32_t ticks);

// `smf` inside a RIFF-RMID file.
Bytes RmidFile(const Bytes& smf);

// `count` MPEG audio frames of `header` (four bytes), each `frameLength`
// bytes long, the body filled with zeros.
Bytes MpegFrames(const Bytes& header, std::size_t frameLength, std::size_t count);

Bytes operator+(Bytes a, const Bytes& b);

}  // namespace dorvem::testing
