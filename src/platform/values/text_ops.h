#pragma once

#include <cstddef>
#include <string_view>

// The string operations the program needs, on UTF-16 text as typed: a "character" is one
// UTF-16 code unit.
namespace zandor::platform {

[[nodiscard]] constexpr std::size_t length(std::u16string_view text) noexcept {
    return text.size();
}

// The first `count` characters, or the whole text when it is shorter.
[[nodiscard]] constexpr std::u16string_view left(std::u16string_view text,
                                                 std::size_t count) noexcept {
    return text.substr(0, count);
}

[[nodiscard]] constexpr std::u16string_view boolean_text(bool value) noexcept {
    return value ? u"True" : u"False";
}

} // namespace zandor::platform
