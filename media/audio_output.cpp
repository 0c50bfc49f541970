#include "media/audio_output.h"

#include <utility>

namespace dorvem::mci {

AudioOutput::AudioOutput(Probe probe, Clock clock)
    : probe_(std::move(probe)), clock_(std::move(clock)) {}

void AudioOutput::ProbeLocked() {
  verdict_ = probe_();
  probedAtMs_ = clock_();
  if (listener_ && told_ != verdict_) {
    told_ = verdict_;
    listener_(*verdict_);
  }
}

void AudioOutput::SetListener(Listener listener) {
  std::lock_guard lock(mutex_);
  listener_ = std::move(listener);
  told_.reset();
}

void AudioOutput::Prime() {
  std::lock_guard lock(mutex_);
  if (!verdict_) ProbeLocked();
}

std::string AudioOutput::Choose() {
  std::lock_guard lock(mutex_);
  if (!verdict_ || (verdict_->empty() && clock_() - probedAtMs_ >= kRetryMs)) ProbeLocked();
  return *verdict_;
}

void AudioOutput::DeviceFailed(const std::string& factory) {
  std::lock_guard lock(mutex_);
  if (verdict_ && !factory.empty() && *verdict_ == factory) verdict_.reset();
}

}  // namespace dorvem::mci
