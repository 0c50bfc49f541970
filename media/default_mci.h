// The media-control layer a new TMediaPlayer uses: the program's GStreamer
// layer, created on first use and kept for the rest of the process, or one
// that a test has installed in its place.
#pragma once

#include "media/mci_interface.h"

namespace dorvem::mci {

// The installed layer, or the GStreamer layer when none is installed.
// Event thread only.
MciInterface& DefaultMci();

// Installs `mci` (null: the GStreamer layer again) and returns the one
// installed before (null when that was the GStreamer layer). The caller
// keeps owning what it installs.
MciInterface* SetDefaultMci(MciInterface* mci);

}  // namespace dorvem::mci
