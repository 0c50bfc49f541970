// PipelinePool: pipelines of closed devices kept prerolled at their start,
// so that opening the same file again (a cue sound, on nearly every
// keystroke) takes one ready instead of building a new one.
//
// Why. Building a pipeline - its elements, its threads, finding the file's
// type and decoder, prerolling - costs more than playing a short cue now
// that a cue plays from its decoded sound (decoded_sounds.h).
//
// When a kept pipeline may be taken. Its key must equal the new device's
// in every part: the file's path, the file as it is now on disk (device,
// inode, size, modification and change time: a file replaced or rewritten
// since is a different file) and the audio output the pipeline plays into (a
// pipeline keeps the sink it was built with, so one made for the silent
// sink is not taken once a device has been chosen). Taking a pipeline
// removes it from the pool; kept pipelines of the same path under another
// key are stale and are released then.
//
// Bounds. At most kCapacity pipelines are kept (the oldest is released
// first), and none longer than kIdleMs after it was kept (Expire): a kept
// pipeline holds its output open, paused, and that should not outlast a
// pause in the user's typing by much.
//
// The pool owns the pipelines it keeps and releases them with `release`
// (which stops and frees one); the clock is the owner's (tests give fakes).
// Any thread; the layer uses it from its worker only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "media/probe/file_identity.h"

typedef struct _GstElement GstElement;

namespace dorvem::mci {

struct PipelineKey {
  std::string path;
  FileIdentity file;
  std::string output;  // the sink factory, empty for the silent sink
  bool operator==(const PipelineKey&) const = default;
};

class PipelinePool {
 public:
  // Stops and frees one pipeline.
  using Release = std::function<void(GstElement*)>;
  // A monotonic time in milliseconds.
  using Clock = std::function<std::int64_t()>;

  // Two: the program's two cue sounds.
  static constexpr std::size_t kCapacity = 2;
  static constexpr std::int64_t kIdleMs = 60000;

  PipelinePool(Release release, Clock clock);
  // Releases what is kept.
  ~PipelinePool();
  PipelinePool(const PipelinePool&) = delete;
  PipelinePool& operator=(const PipelinePool&) = delete;

  // A kept pipeline of `key` (the caller owns it from now on), or null.
  // Releases kept pipelines of the same path under another key.
  GstElement* Take(const PipelineKey& key);
  // Keeps `pipeline` (prerolled at its start) under `key`; releases the
  // oldest kept one when more than kCapacity would be kept.
  void Keep(const PipelineKey& key, GstElement* pipeline);
  // Releases the pipelines kept for kIdleMs or longer.
  void Expire();
  // Releases everything kept.
  void Clear();

  std::size_t Size() const;

 private:
  struct Kept {
    PipelineKey key;
    GstElement* pipeline;
    std::int64_t keptAtMs;
  };
  // Removes the kept pipelines for which `gone` holds and returns them.
  // Call with mutex_ held.
  std::vector<Kept> RemoveLocked(const std::function<bool(const Kept&)>& gone);
  // Releases outside the lock: stopping a pipeline joins its threads.
  void ReleaseAll(std::vector<Kept> gone);

  Release release_;
  Clock clock_;
  mutable std::mutex mutex_;
  std::vector<Kept> kept_;  // oldest first; guarded by mutex_
};

}  // namespace dorvem::mci
