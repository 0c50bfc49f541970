// Opening steps: a hook that lets the program time the steps of opening a
// client dataset (reading the file, loading the record store, ordering,
// filtering, filling the record window) without the dataset knowing who
// listens or what a clock is.
//
// The dataset names each step when it has finished it; an observer that is
// installed sees the names in that order. No observer is installed unless
// the program installs one (its start-up trace does); the dataset owns
// nothing here. Event thread only.
#pragma once

namespace dorvem {

// Called with a step's name (a string literal) right after the step ends.
using TOpenStepObserver = void (*)(const char* step);

// Installs `observer` (null: none) and returns the one installed before.
TOpenStepObserver SetOpenStepObserver(TOpenStepObserver observer) noexcept;

// Tells the installed observer, if any, that `step` has just ended.
void OpenStepDone(const char* step) noexcept;

}  // namespace dorvem
