// Checking a media file before a device is opened on it: that it exists, can
// be read, holds sound of a kind the layer plays and is well-formed; and
// its playing time. Reads the file once, through a read-only mapping, so
// that only the pages the format readers look at are touched; the answer is
// kept for as long as the file is the same (device, inode, size,
// modification and change time), so that a file probed again is only
// looked up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "media/probe/mci_codes.h"
#include "media/probe/media_formats.h"

namespace dorvem::mci {

struct FileProbe {
  MCIERROR error = 0;  // 0, MCIERR_FILE_NOT_FOUND, MCIERR_FILE_READ or MCIERR_INVALID_FILE
  MediaKind kind = MediaKind::kUnknown;
  std::uint32_t lengthMs = 0;
};

// The file at `path` (in the file system's encoding). Not a regular file
// (missing, a folder, ...): not found. Cannot be opened or mapped: read
// error. Of no known kind, or malformed, or empty: invalid file.
FileProbe ProbeMediaFile(const std::string& path);

// What opening the file at `path` answers, as far as the file decides it:
// the probe, turned into an invalid file when the device was asked for by
// its type and `required`, the kind that type plays, is not what the file
// holds (a sequencer opened on a wave file).
FileProbe ProbeMediaFileFor(const std::string& path, std::optional<MediaKind> required);

}  // namespace dorvem::mci
