// Exceptions raised while a picture is read from its bytes.
//
// EInvalidGraphic: the bytes are not a picture that can be shown
// ("Bitmap image is not valid"). EReadError: the bytes end before a part
// that must be read whole ("Stream read error"). Both carry exactly that
// text as their message, which the application-wide error report shows.
#pragma once

#include <stdexcept>

namespace dorvem {

inline constexpr char kInvalidBitmapText[] = "Bitmap image is not valid";
inline constexpr char kStreamReadErrorText[] = "Stream read error";

class EInvalidGraphic : public std::runtime_error {
 public:
  EInvalidGraphic() : std::runtime_error(kInvalidBitmapText) {}
};

class EReadError : public std::runtime_error {
 public:
  EReadError() : std::runtime_error(kStreamReadErrorText) {}
};

}  // namespace dorvem
