#include "check/result_line.h"

#include <algorithm>

namespace zandor::check {

// Every key is one character, so comparing the first character is comparing the first
// characters' string.
static_assert(std::ranges::all_of(issuer_table, [](const IssuerRow& row) {
    return row.first_character.size() == 1;
}));

std::size_t issuer_row(std::u16string_view entry) noexcept {
    return entry.empty() ? no_issuer : issuer_row_of_first(entry.front());
}

std::u16string result_line(std::u16string_view prefix, bool verdict) {
    std::u16string line(prefix);
    line += u"  ";
    line += verdict ? u"True" : u"False";
    return line;
}

} // namespace zandor::check
