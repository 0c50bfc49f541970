// Whether the program can open its window at all, checked before the
// toolkit starts (which would otherwise abort with a backtrace).
#pragma once

#include <string>

namespace dorvem {

// True when an X display, a Wayland display or an explicit Qt platform
// (such as "offscreen") is named; null and empty values name nothing.
bool HasDisplay(const char* display, const char* waylandDisplay, const char* qtPlatform);

// HasDisplay with DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM of the
// environment.
bool HasDisplayInEnvironment();

// The one line printed when there is no display, naming `program` (the
// command that was run) in the advice to run it under Xvfb.
std::string NoDisplayMessage(const std::string& program);

}  // namespace dorvem
