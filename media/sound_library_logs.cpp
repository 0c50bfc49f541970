#include "media/sound_library_logs.h"

#include <dlfcn.h>

#include <cstdlib>
#include <initializer_list>

namespace dorvem::mci {

namespace {

// ALSA's error handler type: file, line, function, error code, then a
// printf format and its arguments.
using AlsaErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
using AlsaSetHandler = int (*)(AlsaErrorHandler);
// JACK's message functions take the finished text.
using JackMessageFunction = void (*)(const char*);
using JackSetFunction = void (*)(JackMessageFunction);

void DropAlsaMessage(const char*, int, const char*, int, const char*, ...) {}
void DropJackMessage(const char*) {}

// `library` loaded for good (a handle never closed), or null when it is not
// installed.
void* Load(const char* library) {
  return ::dlopen(library, RTLD_NOW | RTLD_GLOBAL);
}

}  // namespace

void QuietSoundLibraries() {
  if (void* alsa = Load("libasound.so.2")) {
    if (auto set = reinterpret_cast<AlsaSetHandler>(::dlsym(alsa, "snd_lib_error_set_handler")))
      set(DropAlsaMessage);
  }
  if (void* jack = Load("libjack.so.0")) {
    for (const char* name : {"jack_set_error_function", "jack_set_info_function"})
      if (auto set = reinterpret_cast<JackSetFunction>(::dlsym(jack, name))) set(DropJackMessage);
  }
  ::setenv("ALSOFT_LOGLEVEL", "0", /*overwrite=*/0);
}

}  // namespace dorvem::mci
