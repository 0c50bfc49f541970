// GstMci: the program's media-control layer, with devices played through
// GStreamer.
//
// Speed. MCI_SET with MCI_DGV_SET_SPEED sets the speed of the plays that
// follow (250 to 4000 thousandths of the media's tempo, the pitch kept):
// the pipeline plays at that rate through a tempo filter, for sounds and
// synthesized MIDI alike. Positions and lengths stay in the media's own
// time.
//
// Devices. MCI_OPEN opens a file on a device chosen from the file's content
// (media_formats.h) when no device type is named: "WaveAudio" for RIFF
// WAVE, "MPEGAudio" for MP3, "Sequencer" for standard and RIFF-RMID MIDI. A
// named type must be one of these three (compared ignoring case) and must
// match the content; the other known types ("CDAudio", "AVIVideo", ...) are
// not installed here. Ids are the lowest free numbers from 1. Devices count
// time in milliseconds only; each has one track.
//
// The event thread never waits on media. Every request is decided at once
// from what the event thread knows, and its result is returned before any
// pipeline work is done:
//   - MCI_OPEN checks the file here and now - it exists, can be read, its
//     content is of a kind the device plays and well-formed, a decoder for
//     it is installed - and measures its length from its bytes; then it
//     hands the pipeline's start (preroll) to the worker.
//   - MCI_PLAY, MCI_PAUSE, MCI_RESUME, MCI_SEEK, MCI_STOP update the
//     device's mode and position here and hand the pipeline change to the
//     worker. MCI_CLOSE forgets the device here at once and hands the
//     pipeline's tear-down to the worker.
// Why results and order are kept. Every answer a caller can observe (result
// codes, device ids, modes, positions while not playing, lengths, which
// notice is sent with which outcome) comes from the device records on the
// event thread, which change in request order, exactly as they would if
// each request had been carried out before returning. The pipelines follow
// through one worker with one queue (media_worker.h), so they see the same
// requests in the same order: a stop or close always reaches a pipeline
// before anything requested after it, and a closed device's pipeline is torn
// down before any later request's pipeline work starts. The pipeline work of
// the requests made while one event is handled is held back until that
// event is over and then handed to the worker in one go (pipeline_batch.h):
// a device opened and closed again within one event (a cue that the next
// entry refresh of the same keystroke stops) never gets a pipeline at all.
// Only the moment the sound changes lags the request, by the rest of the
// event and the worker's turn (well below what can be heard). MCI_WAIT
// therefore changes nothing, and a play with MCI_WAIT returns at once as
// well.
//
// Kept pipelines. The pipeline of a closed device is rewound and kept for
// a while (pipeline_pool.h), and a later open of the same file takes it
// instead of building one; Prepare builds one ahead of the first open. A
// MIDI file's pipeline is never kept: it holds the whole General MIDI sound
// font. A kept pipeline is indistinguishable from a new one to every
// request. A short sound file (not MIDI) is decoded once, by the first
// pipeline built for it, and its pipelines play that sound from memory
// (decoded_sounds.h); the decoded sounds are bounded, and dropped after
// the same idle time as the kept pipelines.
//
// Idle devices. An open device that has not played for kIdleMs (its piece
// played to the end, or stopped, and left open) has its pipeline suspended
// (gst_playback.h): freed, with its threads and sound font, and built again
// by the next play, from where the device stands. Every kIdleMs / 2, while
// anything is kept, held or built, the event thread checks the kept pipelines'
// age and the devices' idle time, and the memory freed is handed back to
// the system, so that an hour of use costs no more than its last minute.
//
// GStreamer itself is initialised on a thread of its own from the moment
// the layer is created (gst_runtime.h); the first open waits for what is
// left of that, so the program's start-up does not.
//
// Notices. A request with MCI_NOTIFY gets a notice posted to its callback:
// at once when it is complete on return (every request but play), at the
// end of play (successful), or earlier when cut short: a new play that asks
// for a notice supersedes it (superseded), and stop, pause, seek, close and
// a play without notice abort it (aborted). Any request with MCI_NOTIFY
// supersedes a pending play notice. An error of the pipeline during play
// ends it with failure; the device is then not ready (MCI_STATUS_READY 0,
// play refused) until closed. The pipelines' reports reach the event thread
// through Qt's queue, and one that belongs to an earlier play (the device
// was stopped or played again meanwhile) is dropped.
//
// Owned by whoever creates it (DefaultMci keeps one for the program). It
// owns its devices and the worker; destroying it finishes every pipeline.
// Event thread only, apart from what the pipelines report.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "media/gst_playback.h"
#include "media/mci_interface.h"
#include "media/media_worker.h"
#include "media/monotonic_clock.h"
#include "media/pipeline_batch.h"
#include "media/probe/media_formats.h"

namespace dorvem::mci {

class GstMci : public QObject, public MciInterface {
  Q_OBJECT

 public:
  // `sinks` makes each pipeline's audio sink; empty for the output that
  // `output` chooses (null: the program's, DefaultAudioOutput), which must
  // outlive the layer.
  // `clock` (monotonic milliseconds) times the kept pipelines and the idle
  // devices; tests give their own.
  explicit GstMci(AudioSinkFactory sinks = {}, AudioOutput* output = nullptr,
                  std::function<std::int64_t()> clock = MonotonicMs);
  ~GstMci() override;

  MCIERROR SendCommand(MCIDEVICEID device, std::uint32_t command, std::uint32_t flags,
                       MciRecord& record) override;
  std::optional<std::string> ErrorString(MCIERROR code) override;
  // Builds and keeps a pipeline for `file` on the worker, when it is a file
  // this layer plays; never waits.
  void Prepare(const std::string& file) override;

  // Blocks until the pipelines have carried out everything requested so
  // far, the work held back for the current event included (the notices
  // they cause may still be on their way). For tests and benchmarks.
  void WaitForPipelines();
  // How many pipelines are kept for reuse now. For tests.
  std::size_t KeptPipelines() const { return pool_.Size(); }
  // How many decoded sounds are held now. For tests.
  std::size_t DecodedSoundsHeld() const { return sounds_.Size(); }
  // How many open devices have a pipeline built now. For tests.
  std::size_t BuiltPipelines() const;
  // How long a device may sit without playing before its pipeline is
  // suspended.
  static constexpr std::int64_t kIdleMs = 60000;
  // Releases the kept pipelines and suspends the idle devices' pipelines
  // whose time is up, then returns freed memory to the system; run by the
  // periodic check, and by tests with a clock of their own.
  void ReleaseIdle();

 private:
  enum class Mode { kStopped, kPlaying, kPaused, kFailed };
  // MCI_DGV_SET_SPEED: the normal speed and the range a device plays at.
  static constexpr std::uint32_t kNormalSpeed = 1000;
  static constexpr std::uint32_t kMinSpeed = 250;
  static constexpr std::uint32_t kMaxSpeed = 4000;

  struct Device {
    MCIDEVICEID id = 0;
    std::uint64_t instance = 0;  // never reused, unlike ids
    MediaKind kind = MediaKind::kUnknown;
    std::uint32_t lengthMs = 0;
    std::uint32_t timeFormat = MCI_FORMAT_MILLISECONDS;
    std::uint32_t speed = kNormalSpeed;  // thousandths of the media's tempo
    Mode mode = Mode::kStopped;
    std::uint32_t positionMs = 0;  // where it stands while not playing
    std::uint32_t runStartMs = 0;  // the current play's limits
    std::uint32_t runEndMs = 0;
    std::uint64_t runSerial = 0;  // the current (or last) play
    QPointer<QObject> pendingCallback;
    std::uint64_t pendingSerial = 0;  // the play whose notice is pending; 0 none
    std::int64_t lastUseMs = 0;       // the last request, or the end of its play
    bool suspended = false;           // its pipeline is suspended until the next play
    std::shared_ptr<GstPlayback> playback;
  };

  MCIERROR Open(std::uint32_t flags, MciRecord& record);
  MCIERROR Close(Device& device);
  MCIERROR Play(Device& device, std::uint32_t flags, MciRecord& record);
  MCIERROR Stop(Device& device);
  MCIERROR Pause(Device& device);
  MCIERROR Resume(Device& device, std::uint32_t flags, MciRecord& record);
  MCIERROR Seek(Device& device, std::uint32_t flags, MciRecord& record);
  MCIERROR Status(Device& device, std::uint32_t flags, MciRecord& record);
  MCIERROR GetDevCaps(const Device& device, std::uint32_t flags, MciRecord& record) const;
  MCIERROR Set(Device& device, std::uint32_t flags, MciRecord& record);

  // Where the device stands now.
  std::uint32_t CurrentPositionMs(const Device& device) const;
  // Ends a play in progress where it is (its notice aborted).
  void HaltRun(Device& device);
  // Tears the device's pipeline down, or drops it unbuilt when its start is
  // still held back; the device keeps no pipeline.
  void FinishPipeline(Device& device);
  // Posts the pending play notice with `outcome` and forgets it.
  void ResolvePending(Device& device, std::uint32_t outcome);
  // Starts the check of the kept pipelines' age and the devices' idle time
  // unless it runs.
  void WatchKeptPipelines();
  // What a pipeline reported, on the event thread.
  void OnPipelineEvent(std::uint64_t instance, GstPlayback::Event event, std::uint64_t serial);

  Device* Find(MCIDEVICEID id);
  MCIDEVICEID FreeId() const;

  AudioSinkFactory sinks_;
  AudioOutput* output_;
  std::function<std::int64_t()> clock_;
  PipelinePool pool_;     // used on the worker; cleared there before it ends
  DecodedSounds sounds_;  // likewise
  QTimer keptCheck_;
  std::map<MCIDEVICEID, Device> devices_;
  std::uint64_t nextInstance_ = 1;
  std::uint64_t nextSerial_ = 1;
  PipelineBatch batch_;  // hands over to worker_
  MediaWorker worker_;   // last member: its queue is finished before the rest goes
};

}  // namespace dorvem::mci
