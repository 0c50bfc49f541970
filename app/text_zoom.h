// The explanation's text size, in percent of the size its memo gives: the
// steps that Ctrl+plus and Ctrl+minus go through, and keeping the size in
// the user's settings file between runs.
//
// The settings file is an INI file (QSettings' IniFormat) whose path the
// program's entry gives (TDictionaryOptions::settingsFile); nothing is read
// or written without one, and nothing is written until the user changes
// the size.
#pragma once

#include <string>

namespace dorvem {

inline constexpr int kTextZoomMin = 50;
inline constexpr int kTextZoomMax = 300;
inline constexpr int kTextZoomNormal = 100;

// `percent` limited to kTextZoomMin .. kTextZoomMax.
int LimitTextZoom(int percent);
// The next step up from `percent` (50, 67, 75, 80, 90, 100, 110, 125, 150,
// 175, 200, 250, 300); kTextZoomMax stays.
int LargerTextZoom(int percent);
// The next step down; kTextZoomMin stays.
int SmallerTextZoom(int percent);

// The size kept in `settingsFile`, limited; kTextZoomNormal when there is
// no file, no value or one that is not a number.
int ReadTextZoom(const std::string& settingsFile);
// Keeps `percent` in `settingsFile` (making its folder); false when it
// cannot be written or there is no file name.
bool WriteTextZoom(const std::string& settingsFile, int percent);

}  // namespace dorvem
