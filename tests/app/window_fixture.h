// Helpers for window tests: the main window built on a program folder of
// the test's own (tests/dictionary/program_folder.h).
#pragma once

#include "app/main_window.h"
#include "app/upper_case_edit.h"
#include "tests/dictionary/program_folder.h"
