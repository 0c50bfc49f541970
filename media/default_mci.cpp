#include "media/default_mci.h"

#include <memory>

#include "media/gst_mci.h"

namespace dorvem::mci {

namespace {

MciInterface*& Installed() {
  static MciInterface* installed = nullptr;
  return installed;
}

}  // namespace

MciInterface& DefaultMci() {
  if (MciInterface* installed = Installed()) return *installed;
  // Finished at exit, after the windows that used it are gone.
  static const std::unique_ptr<GstMci> layer = std::make_unique<GstMci>();
  return *layer;
}

MciInterface* SetDefaultMci(MciInterface* mci) {
  MciInterface* previous = Installed();
  Installed() = mci;
  return previous;
}

}  // namespace dorvem::mci
