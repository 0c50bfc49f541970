// Exceptions of the host-side dataset.
//
// EDatabaseError carries a message; raised for a named component, the
// message reads "<name>: <text>". EDBClient is an engine result code turned
// into an exception: it carries the code and the code's text. EAbort is the
// silent exception: the application-wide error report shows nothing for it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "dataset/core/result_codes.h"

namespace dorvem {

class EDatabaseError : public std::runtime_error {
 public:
  explicit EDatabaseError(const std::string& message) : std::runtime_error(message) {}
};

class EDBClient : public EDatabaseError {
 public:
  EDBClient(DBResult code, const std::string& message) : EDatabaseError(message), code_(code) {}
  DBResult ErrorCode() const { return code_; }

 private:
  DBResult code_;
};

class EAbort : public std::exception {
 public:
  const char* what() const noexcept override { return ""; }
};

// Raises EDatabaseError with `text`, prefixed "<componentName>: " when the
// name is not empty.
[[noreturn]] void DatabaseError(std::string_view text, std::string_view componentName = {});

// The text the application-wide error report shows for `message`: a full
// stop is appended when the last character's code is greater than that of
// "." (so a letter gets one, "." or ")" does not).
std::string ErrorReportText(std::string_view message);

// Raises EDBClient for a nonzero engine result (its text from the message
// table); does nothing for 0.
void Check(DBResult result);

}  // namespace dorvem
