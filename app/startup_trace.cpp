#include "app/startup_trace.h"

#include <QEvent>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "dataset/host/open_steps.h"
#include "media/audio_sinks.h"

namespace dorvem {

namespace {

struct Trace {
  TStartupTraceSink sink;
};

Trace& State() {
  static Trace trace;
  return trace;
}

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void ObserveOpenStep(const char* step) {
  StartupPhaseDone(step);
}

void Stop() {
  State().sink = nullptr;
  SetOpenStepObserver(nullptr);
}

// Watches the list for its first paint; marks the phase once the paint
// event has been handled and goes away.
class FirstPaintWatch : public QObject {
 public:
  explicit FirstPaintWatch(QWidget* list) : QObject(list) { list->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      // Queued: runs after the paint event, and the flush it is part of.
      QMetaObject::invokeMethod(
          this,
          [this] {
            StartupPhaseDone("first paint");
            Stop();
            deleteLater();
          },
          Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool seen_ = false;
};

}  // namespace

void StartStartupTrace(TStartupTraceSink sink) {
  State().sink = std::move(sink);
  SetOpenStepObserver(State().sink ? &ObserveOpenStep : nullptr);
  StartupPhaseDone("main");
}

void StartStartupTraceFromEnvironment() {
  const char* value = std::getenv("DORVEM_TRACE_STARTUP");
  if (value == nullptr || std::strcmp(value, "1") != 0) return;
  StartStartupTrace([origin = std::int64_t{-1}, previous = std::int64_t{0}](
                        const char* phase, std::int64_t ns) mutable {
    if (origin < 0) origin = previous = ns;
    std::fprintf(stderr, "dorvem start-up: %8.2f ms  +%7.2f ms  %s\n", (ns - origin) / 1e6,
                 (ns - previous) / 1e6, phase);
    previous = ns;
  });
  // The sound libraries keep their complaints to themselves
  // (media/sound_library_logs.h); this line says what came of the probe.
  mci::DefaultAudioOutput().SetListener([](const std::string& sink) {
    std::fprintf(stderr, "dorvem start-up: audio output: %s\n",
                 sink.empty() ? "none (no sound device opens; sounds keep their time silently)"
                              : sink.c_str());
  });
}

bool StartupTraceOn() {
  return static_cast<bool>(State().sink);
}

void StartupPhaseDone(const char* phase) {
  if (State().sink) State().sink(phase, NowNs());
}

void EndStartupTraceAfterFirstPaint(QWidget* list) {
  if (StartupTraceOn() && list != nullptr) new FirstPaintWatch(list);
}

}  // namespace dorvem
