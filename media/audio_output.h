// AudioOutput: which audio output the pipelines play into, decided once and
// then reused, instead of every pipeline searching for one.
//
// Left to itself, every pipeline would probe the installed audio sinks in
// rank order (opening each until one works) and, when none does, fall back
// to a silent sink that keeps real time. On a machine without a sound
// device that search fails through every sink on every cue, and costs far
// more than playing the cue. AudioOutput keeps the outcome of one such probe
// (the verdict) and hands it to each new pipeline, which then makes that
// sink directly (audio_sinks.h).
//
// The rule. The verdict is the factory name of the first device sink that
// opened, or empty for "no device" (the silent sink).
//   - Choose probes when there is no verdict yet; Prime does the same ahead
//     of the first pipeline.
//   - A device verdict holds until a pipeline reports that its sink of that
//     factory failed to open (DeviceFailed); the next Choose probes again,
//     so a device that went away is replaced by the next one that opens, or
//     by the silent sink.
//   - A "no device" verdict holds for kRetryMs after the probe that gave
//     it; the first Choose after that probes again, so a device that
//     appears is taken within kRetryMs, while a machine without one pays
//     for a probe at most once per kRetryMs.
// No device stays open between pipelines: a probe closes what it opened.
//
// The probe and the clock are given by the owner (tests give fakes); the
// probe runs under the object's lock, so concurrent callers wait for one
// probe rather than probing twice. Any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace dorvem::mci {

class AudioOutput {
 public:
  // Returns the factory name of the first device sink that opens, or an
  // empty string when none does.
  using Probe = std::function<std::string()>;
  // A monotonic time in milliseconds.
  using Clock = std::function<std::int64_t()>;

  // How long a "no device" verdict holds. A probe that finds nothing costs
  // about 2 ms of CPU; every 30 s it stays out of the way of typing, and a
  // device plugged in is still taken up within the half minute.
  static constexpr std::int64_t kRetryMs = 30000;

  AudioOutput(Probe probe, Clock clock);

  // Probes now unless there is a verdict already.
  void Prime();
  // The sink factory for the next pipeline, empty for the silent sink;
  // probes first when the rule above says so.
  std::string Choose();
  // A pipeline's sink of `factory` failed to open. Forgets the verdict when
  // it still names `factory` (another pipeline may have replaced it).
  void DeviceFailed(const std::string& factory);

  // Told each probe's verdict that differs from the last one told (the
  // first one included), so that a trace can say once which output was
  // chosen. Runs on the probing thread under the object's lock: it must not
  // call back into this object. Null: nobody is told.
  using Listener = std::function<void(const std::string& verdict)>;
  void SetListener(Listener listener);

 private:
  void ProbeLocked();

  Probe probe_;
  Clock clock_;
  std::mutex mutex_;
  std::optional<std::string> verdict_;  // guarded by mutex_
  std::int64_t probedAtMs_ = 0;         // guarded by mutex_
  Listener listener_;                   // guarded by mutex_
  std::optional<std::string> told_;     // guarded by mutex_: the last verdict told
};

}  // namespace dorvem::mci
