// DecodedSounds: short sound files decoded once into raw audio held in
// memory, so that a kept pipeline of a cue plays from there instead of
// parsing and decoding the file on every play.
//
// Why. A cue's cost over all of the process's threads is not the decoding
// itself (well under a tenth of it) but the path every piece of sound takes
// from the file to the sink: an MPEG cue of under a second arrives as some
// forty frames of 26 ms, each handed from the parser's thread through the
// decoder to the output's thread, converted, and waited for at the sink's
// clock. Decoded, the same sound goes to the output in a few large pieces
// (kChunkMs) from one source thread, without a parser, a decoder or their
// thread.
//
// What is decoded. A file of at most kMaxFileBytes whose decoded sound
// takes at most kMaxSoundBytes; a longer one is played from its file as
// before. MIDI is never decoded here (the layer does not offer it): its
// synthesis needs the whole General MIDI sound font.
//
// When a decoded sound is used. Its key must equal the file's in every
// part: the path and the file as it is now on disk (file_identity.h), so a
// file replaced or rewritten since is decoded anew; a sound of the same
// path under another key is dropped then.
//
// Bounds. At most kCapacity sounds and kMaxBytes of sound are held (the
// least recently used goes first), and none longer than kIdleMs after its
// last use (Expire), so that idle time frees the memory as it frees the
// kept pipelines. A pipeline playing a sound holds it until it is freed.
//
// Any thread; the layer decodes on its worker. The clock is the owner's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "media/probe/file_identity.h"

typedef struct _GstBuffer GstBuffer;
typedef struct _GstCaps GstCaps;
typedef struct _GstElement GstElement;

namespace dorvem::mci {

// A whole sound, decoded: interleaved raw audio of `caps`.
class DecodedSound {
 public:
  // Takes the references to `caps` and `pcm`.
  DecodedSound(GstCaps* caps, GstBuffer* pcm, std::uint32_t rate, std::uint32_t frameBytes);
  ~DecodedSound();
  DecodedSound(const DecodedSound&) = delete;
  DecodedSound& operator=(const DecodedSound&) = delete;

  GstCaps* Caps() const { return caps_; }
  std::size_t Bytes() const { return bytes_; }
  std::uint32_t Rate() const { return rate_; }
  std::uint32_t FrameBytes() const { return frameBytes_; }
  // A new buffer of the frames from `offset` (bytes), at most `maxBytes`,
  // stamped with their time; null at the end.
  GstBuffer* Piece(std::size_t offset, std::size_t maxBytes) const;

 private:
  GstCaps* caps_;
  GstBuffer* pcm_;
  std::size_t bytes_;
  std::uint32_t rate_;
  std::uint32_t frameBytes_;
};

class DecodedSounds {
 public:
  using Clock = std::function<std::int64_t()>;
  // Decodes a file; null when it cannot, or its sound is over the bound.
  using Decoder =
      std::function<std::shared_ptr<const DecodedSound>(const std::string& path, std::size_t)>;

  static constexpr std::size_t kCapacity = 4;
  static constexpr std::size_t kMaxFileBytes = 1 << 20;
  static constexpr std::size_t kMaxSoundBytes = 4 << 20;
  static constexpr std::size_t kMaxBytes = 8 << 20;
  static constexpr std::int64_t kIdleMs = 60000;
  // The length of the pieces a decoded sound is played in.
  static constexpr std::uint32_t kChunkMs = 1000;

  // `decoder` null: Decode.
  explicit DecodedSounds(Clock clock, Decoder decoder = {});

  // The decoded sound of `path` as `file` says it is, decoded now when it
  // is not held; null when the file is not one to decode.
  std::shared_ptr<const DecodedSound> Get(const std::string& path, const FileIdentity& file);
  // Drops the sounds unused for kIdleMs or longer.
  void Expire();
  void Clear();
  std::size_t Size() const;
  std::size_t HeldBytes() const;

  // Decodes `path` through GStreamer into memory; null when it fails or
  // the sound takes more than `maxBytes`.
  static std::shared_ptr<const DecodedSound> Decode(const std::string& path, std::size_t maxBytes);

 private:
  struct Held {
    std::string path;
    FileIdentity file;
    std::shared_ptr<const DecodedSound> sound;
    std::int64_t usedAtMs;
  };
  Clock clock_;
  Decoder decoder_;
  mutable std::mutex mutex_;
  std::vector<Held> held_;  // least recently used first; guarded by mutex_
};

// A source of `sound` (an appsrc, a floating reference): raw audio in
// time, seekable, given in pieces of kChunkMs. It holds the sound until it
// is freed.
GstElement* MakeDecodedSource(std::shared_ptr<const DecodedSound> sound);
// Makes a source of MakeDecodedSource give its sound from the start again
// (after its pipeline was set to NULL).
void RestartDecodedSource(GstElement* source);

}  // namespace dorvem::mci
