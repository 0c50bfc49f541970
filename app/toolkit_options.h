// The command-line options that belong to the toolkit, not to the program.
//
// Qt's application objects take their own options out of argv when they
// are created: those of QGuiApplication (-platform, -qwindowgeometry, ...),
// of QApplication (-style, -stylesheet, ...) and of the X11 platform plugin
// (-display, -geometry, -name, ...). The program's own parser must let them
// through, with their values, and refuse every other option. Qt also
// accepts each of them with two leading dashes ("--platform").
#pragma once

#include <string_view>

namespace dorvem {

enum class TToolkitOption {
  toNone,       // not an option of the toolkit
  toAlone,      // an option without a value ("-reverse", "-style=fusion")
  toWithValue,  // an option whose value is the next argument ("-platform xcb")
};

// What `arg` is to the toolkit.
TToolkitOption ToolkitOptionOf(std::string_view arg);

// How many of the program's `argc` arguments (its name first) the toolkit
// may see: those before a lone "--", whose followers are search words
// even when they look like the toolkit's options.
int ToolkitArgumentCount(int argc, const char* const* argv);

}  // namespace dorvem
