#include "check/result_line.h"

#include "platform/values/text_ops.h"

#include <algorithm>

namespace zandor::check {

// Every key is one character, so comparing the first character is comparing the first
// characters' string.
static_assert(std::ranges::all_of(issuer_table, [](const IssuerRow& row) {
    return row.first_character.size() == 1;
}));

std::size_t issuer_row(std::u16string_view entry) noexcept {
    const std::u16string_view first = platform::left(entry, 1);
    return first.empty() ? no_issuer : issuer_row_of_first(first.front());
}

std::u16string result_line(std::u16string_view prefix, bool verdict) {
    std::u16string line(prefix);
    line += u"  ";
    line += platform::boolean_text(verdict);
    return line;
}

} // namespace zandor::check
