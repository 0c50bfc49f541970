// The one formatter of message texts: fills the "%s" and "%d" places of a
// pattern. Every layer's message texts (host_messages.h, filter_messages.h)
// are patterns for it.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace dorvem::msg {

// "%s: %s": a message raised for a named component, "<name>: <text>".
inline constexpr std::string_view kNamedComponent = "%s: %s";

// Replaces each "%s" or "%d" of `pattern`, in order, with the next argument.
std::string Fmt(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace dorvem::msg
