#pragma once

#include "platform/values/number_format.h"
#include "platform/values/number_reader.h"

#include <string_view>

namespace zandor::modZANDOR {

inline constexpr int min_card_length = 13;
inline constexpr int max_card_length = 16;

// True when the entry reads as a whole, non-negative number whose plain decimal text has 13
// to 16 digits and passes the Luhn rule. Blanks around the number, leading zeros, group
// separators and an exponent are no part of that text; a negative value or one with a
// non-zero digit below the units is answered False.
[[nodiscard]] bool CheckCardNumber(std::u16string_view entry,
                                   const platform::NumberFormat& format) noexcept;

// The same verdict for an entry already read, whole or in pieces, as the console tool reads
// its lines.
[[nodiscard]] bool CheckCardNumber(const platform::NumberReading& entry) noexcept;

} // namespace zandor::modZANDOR
