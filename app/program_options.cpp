#include "app/program_options.h"

#include <cstdlib>

#include "dictionary/external_programs.h"
#include "dictionary/paths.h"

namespace dorvem {

std::string UserCacheFolder() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/dorvem";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.cache/dorvem";
  return {};
}

std::string UserSettingsFile() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/dorvem/dorvem.conf";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.config/dorvem/dorvem.conf";
  return {};
}

TDictionaryOptions ProgramOptions() {
  return {ProgramFolder(), UserCacheFolder(), QString::fromLatin1(kVideoPlayerPath),
          UserSettingsFile()};
}

}  // namespace dorvem
