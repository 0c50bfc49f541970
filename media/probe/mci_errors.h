// Result codes of the media-control layer and their texts.
//
// A request returns 0 on success and one of these codes otherwise. Each code
// has one text, in Hungarian for the program's users, kept in
// mci_errors.cpp; MciErrorText is what the layer's error-string call
// answers. A code without a text (anything not listed here) has none, and
// the caller chooses what to show instead.
#pragma once

#include <optional>
#include <string>

#include "media/probe/mci_codes.h"

namespace dorvem::mci {

inline constexpr MCIERROR MCIERR_BASE = 256;
inline constexpr MCIERROR MCIERR_INVALID_DEVICE_ID = 257;     // no device open with this id
inline constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = 261;  // unknown command code
inline constexpr MCIERROR MCIERR_INVALID_DEVICE_NAME = 263;   // no device type of this name
inline constexpr MCIERROR MCIERR_CANNOT_LOAD_DRIVER = 266;    // a decoder is not installed
inline constexpr MCIERROR MCIERR_MISSING_PARAMETER = 273;     // the flags name nothing to do
inline constexpr MCIERROR MCIERR_UNSUPPORTED_FUNCTION = 274;  // the device cannot do it
inline constexpr MCIERROR MCIERR_FILE_NOT_FOUND = 275;        // no file of that name
inline constexpr MCIERROR MCIERR_DEVICE_NOT_READY = 276;      // the device failed earlier
inline constexpr MCIERROR MCIERR_INTERNAL = 277;              // the layer could not start it
inline constexpr MCIERROR MCIERR_OUTOFRANGE = 282;            // a position past the media
inline constexpr MCIERROR MCIERR_BAD_TIME_FORMAT = 293;       // a time format it does not count in
inline constexpr MCIERROR MCIERR_INVALID_FILE = 296;          // content it cannot play
inline constexpr MCIERROR MCIERR_NULL_PARAMETER_BLOCK = 297;  // a record of the wrong kind
inline constexpr MCIERROR MCIERR_FILENAME_REQUIRED = 304;     // open without a file
inline constexpr MCIERROR MCIERR_DEVICE_NOT_INSTALLED = 306;  // a known device type not offered
inline constexpr MCIERROR MCIERR_FILE_READ = 348;             // the file cannot be read

// The text of `code` (UTF-8), or nothing when the layer has none. Code 0
// has a text too: that the request was carried out.
std::optional<std::string> MciErrorText(MCIERROR code);

}  // namespace dorvem::mci
