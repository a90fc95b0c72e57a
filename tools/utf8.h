#pragma once

#include <string>
#include <string_view>

namespace zandor::tools {

// Appends UTF-8 bytes as UTF-16; each invalid sequence becomes U+FFFD. Plain ASCII, the
// usual input, takes a fast path.
void append_utf16(std::string_view utf8, std::u16string& out);

// Appends UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
void append_utf8(std::u16string_view utf16, std::string& out);

} // namespace zandor::tools
