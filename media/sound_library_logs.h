// Keeps the sound libraries' own complaints off the terminal.
//
// Probing the audio sinks (audio_sinks.h) on a machine without a sound
// device makes the libraries beneath the sinks print to stderr: ALSA's
// error handler ("ALSA lib confmisc.c:855:(parse_card) cannot find card
// '0'" and seven more), JACK's error function ("Cannot connect to server
// socket"), OpenAL Soft's log ("AL lib: (EE) ..."). A failed probe is an
// expected outcome that the program learns from the sink's state change
// and reports itself (under DORVEM_TRACE_STARTUP); the libraries' lines
// only alarm a user who started the program from a terminal.
//
// QuietSoundLibraries gives ALSA and JACK handlers that drop their
// messages, through the libraries' own calls found at run time: the program
// does not link them, and one that is not installed is skipped. Each is
// loaded for that and stays loaded, so a plugin that loads it later shares
// the quiet instance. OpenAL Soft reads its log level from the environment
// when it first starts: ALSOFT_LOGLEVEL is set to 0 (nothing) unless the
// environment already names a level. Call once, before any sink is made,
// from the thread that starts the media runtime while no other thread reads
// the environment.
#pragma once

namespace dorvem::mci {

void QuietSoundLibraries();

}  // namespace dorvem::mci
