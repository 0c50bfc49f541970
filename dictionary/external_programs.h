// Handing files to programs outside this one: opening a file with the
// desktop's associated program, and starting a player with the file as its
// one argument. Neither runs through a shell, and the program never waits
// for, or learns anything from, what it starts.
//
// Both go through one replaceable pair of actions, so that tests can record
// them instead of starting anything. Event thread only.
#pragma once

#include <QString>
#include <functional>

namespace dorvem {

// The video player's fixed path: mpv, packaged in Debian as "mpv". It plays
// AVI and every other format FFmpeg decodes, takes the file as its single
// argument, starts playing at once in a window of its own with no dialog
// first, and ends with the video.
inline constexpr char kVideoPlayerPath[] = "/usr/bin/mpv";

struct ExternalActions {
  // Asks the desktop to open `file` with its associated program.
  std::function<void(const QString& file)> openWithSystem;
  // Starts `program` with `argument` as its one argument.
  std::function<void(const QString& program, const QString& argument)> startProgram;
};

// Makes `actions` take effect from now on and returns the previous ones. An
// empty member restores the system's action for it.
ExternalActions SetExternalActions(ExternalActions actions);

// The system's actions. Opening goes through the desktop services (which
// run xdg-open); where the window system offers none (the offscreen
// platform), xdg-open is started directly with the file's URL. Starting
// uses QProcess::startDetached with one argument.
void SystemOpenWithSystem(const QString& file);
void SystemStartProgram(const QString& program, const QString& argument);

// Through the actions in effect.
void OpenWithSystem(const QString& file);
void StartProgram(const QString& program, const QString& argument);

}  // namespace dorvem
