#include "app/display_check.h"

#include <cstdlib>

namespace dorvem {

namespace {
bool Named(const char* value) {
  return value != nullptr && *value != '\0';
}
}  // namespace

bool HasDisplay(const char* display, const char* waylandDisplay, const char* qtPlatform) {
  return Named(display) || Named(waylandDisplay) || Named(qtPlatform);
}

bool HasDisplayInEnvironment() {
  return HasDisplay(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                    std::getenv("QT_QPA_PLATFORM"));
}

std::string NoDisplayMessage(const std::string& program) {
  return "dorvem: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is "
         "set); run it under Xvfb: xvfb-run -a " +
         program;
}

}  // namespace dorvem
