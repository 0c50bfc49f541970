// Whole-file reading and writing for the builder, and the one text helper its parsers
// share. Free functions; errors are std::runtime_error naming the path.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace demo {

// The file's bytes. Throws when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// Writes `bytes` to `path`, creating its folders and replacing an existing file.
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// `s` without leading and trailing blanks, tabs and carriage returns.
std::string Trim(std::string_view s);

}  // namespace demo
