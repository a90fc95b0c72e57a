#pragma once

#include <cstddef>
#include <optional>
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

// The one-character substring at `position`, counted from 1; empty past the end.
[[nodiscard]] constexpr std::u16string_view mid(std::u16string_view text,
                                                std::size_t position) noexcept {
    if (position == 0 || position > text.size())
        return {};
    return text.substr(position - 1, 1);
}

// The value of a one-character string that spells a digit 0 to 9; nothing for anything else.
[[nodiscard]] constexpr std::optional<int> digit_value(std::u16string_view character) noexcept {
    if (character.size() != 1 || character[0] < u'0' || character[0] > u'9')
        return std::nullopt;
    return character[0] - u'0';
}

[[nodiscard]] constexpr std::u16string_view boolean_text(bool value) noexcept {
    return value ? u"True" : u"False";
}

} // namespace zandor::platform
