// The dictionary's options as the program's entry fills them: the program
// folder of the running executable, the user's cache folder from the
// environment, and the video player's fixed path. The only place the
// program reads the environment for where its files go.
#pragma once

#include <string>

#include "dictionary/dictionary_options.h"

namespace dorvem {

// "$XDG_CACHE_HOME/dorvem", else "$HOME/.cache/dorvem" (only absolute
// values count), else empty: nothing is kept.
std::string UserCacheFolder();

// "$XDG_CONFIG_HOME/dorvem/dorvem.conf", else
// "$HOME/.config/dorvem/dorvem.conf" (only absolute values count), else
// empty: nothing is kept.
std::string UserSettingsFile();

// The options of the window and of the commands without a window. Needs
// the application object (for the program folder).
TDictionaryOptions ProgramOptions();

}  // namespace dorvem
