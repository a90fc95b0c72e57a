#pragma once

#include <cstddef>
#include <cstdint>

namespace zandor::platform {

// The decimal holds a 96-bit magnitude, so at most 29 decimal digits, at a power-of-ten
// scale of 0 to 28.
inline constexpr std::size_t decimal_max_digits = 29;
inline constexpr std::uint8_t decimal_max_scale = 28;

} // namespace zandor::platform
