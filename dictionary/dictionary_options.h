// Where the program's own files are and go: the one place configuration
// enters the dictionary. The program fills it at its entry (from its own
// folder and the environment) and passes it down; nothing below reads the
// environment for it.
#pragma once

#include <QString>
#include <string>

namespace dorvem {

struct TDictionaryOptions {
  // The program folder, with one trailing separator: the data file lies in
  // its "Data" folder, the media in its "Sounds" folder.
  QString programFolder;
  // Where kept orders and other derived files go (file system encoding);
  // empty keeps nothing between runs.
  std::string cacheFolder;
  // The video player handed ".AVI" files (external_programs.h).
  QString videoPlayerPath;
  // The user's settings file (file system encoding), where the window
  // keeps what the user set, such as the explanation's text size; empty
  // keeps nothing.
  std::string settingsFile;
};

}  // namespace dorvem
