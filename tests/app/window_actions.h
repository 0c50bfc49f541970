// The user's actions on the main window, as the keyboard and the mouse
// deliver them through Qt's event dispatch: typing and deleting in the
// search box (texts the filter parser refuses among them), the arrows in
// the box, the grid's keys, clicks, wheel and scroll bar, the navigator's
// buttons, F3 and F4, the two speed buttons, the cue check box, and the
// keys and clicks of the explanation and picture views.
//
// Each action draws what it needs (which key, which row, which text) from
// the generator it is given, so a seeded run repeats exactly. The actions
// run synchronously and never wait; what they raise goes to the
// application-wide error report as in the running program, so callers
// install the report's and the message boxes' sinks, and stand-ins for the
// external programs and the media layer, before running any.
#pragma once

#include <functional>
#include <random>
#include <vector>

namespace dorvem {
class TfrmMain;
}

namespace dorvem::testing {

struct WindowAction {
  const char* name;
  std::function<void(TfrmMain&, std::mt19937&)> run;
};

// Every action, each once; a soak draws from them with equal weight.
const std::vector<WindowAction>& WindowActions();

}  // namespace dorvem::testing
