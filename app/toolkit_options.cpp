#include "app/toolkit_options.h"

#include <array>

namespace dorvem {

namespace {

// Options followed by a value in the next argument.
constexpr std::array<std::string_view, 16> kWithValue = {
    "-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry",
    "-qwindowicon", "-qwindowtitle", "-session", "-style", "-stylesheet",
    // The X11 platform's own and its older names for the window options.
    "-display", "-geometry", "-title", "-icon", "-name", "-visual"};

// Options without a value.
constexpr std::array<std::string_view, 8> kAlone = {"-reverse", "-testability", "-widgetcount",
                                                    "-qdevel",  "-qdebug",      "-nograb",
                                                    "-dograb",  "-sync"};

// Options that carry their value after "=" in the same argument
// ("-style=fusion"); the Windows platform's -dialogs and -fontengine are
// taken too, so that a command line written for that platform still opens
// the window.
constexpr std::array<std::string_view, 5> kWithEquals = {
    "-style=", "-stylesheet=", "-qmljsdebugger=", "-dialogs=", "-fontengine="};

template <std::size_t N>
bool Holds(const std::array<std::string_view, N>& names, std::string_view arg) {
  for (std::string_view name : names)
    if (arg == name) return true;
  return false;
}

}  // namespace

TToolkitOption ToolkitOptionOf(std::string_view arg) {
  // Qt reads "--name" as "-name".
  if (arg.starts_with("--")) arg.remove_prefix(1);
  if (!arg.starts_with("-")) return TToolkitOption::toNone;
  if (Holds(kWithValue, arg)) return TToolkitOption::toWithValue;
  if (Holds(kAlone, arg)) return TToolkitOption::toAlone;
  for (std::string_view prefix : kWithEquals)
    if (arg.starts_with(prefix)) return TToolkitOption::toAlone;
  return TToolkitOption::toNone;
}

int ToolkitArgumentCount(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i)
    if (std::string_view(argv[i]) == "--") return i;
  return argc;
}

}  // namespace dorvem
