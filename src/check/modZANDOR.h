#pragma once

#include "platform/values/number_format.h"
#include "platform/values/number_reader.h"

#include <string_view>

namespace zandor::modZANDOR {

inline constexpr int min_card_length = 13;
inline constexpr int max_card_length = 16;

// True when the entry reads as a number whose decimal text has 13 to 16 digits and passes
// the Luhn rule. Blanks around the number, leading zeros, group separators and an exponent
// vanish with the conversion; anything that is not exactly a whole, non-negative number
// within the decimal range is answered False.
[[nodiscard]] bool CheckCardNumber(std::u16string_view entry,
                                   const platform::NumberFormat& format) noexcept;

// The same verdict for an entry already read, whole or in pieces, as the console tool reads
// its lines.
[[nodiscard]] bool CheckCardNumber(const platform::NumberReading& entry,
                                   char16_t decimal_separator) noexcept;

} // namespace zandor::modZANDOR
