// Conversion of UTF-8 text to the Central European code page (windows-1250).
//
// Every text of the demo dictionary is written in UTF-8 in the sources and stored in the
// packet, in rich text escapes and in score documents as windows-1250 bytes. Free functions,
// no state.
#pragma once

#include <string>
#include <string_view>

namespace demo {

// Converts UTF-8 text to windows-1250 bytes. Throws std::runtime_error naming the offending
// character when the text is not valid UTF-8 or holds a character the code page lacks.
std::string Utf8ToCp1250(std::string_view utf8);

// Converts windows-1250 bytes back to UTF-8; bytes the code page leaves undefined become
// U+FFFD. Used for messages and by the tests.
std::string Cp1250ToUtf8(std::string_view bytes);

}  // namespace demo
