// Pi, once for the whole code base, in the width of the arithmetic that uses
// it.  In float it is exactly what 4 * atan(1.0f) gives and in double what
// 4 * atan(1.0) gives, so results are those of the arithmetic written with atan.
#pragma once

#include <numbers>

namespace suite {

template <typename T>
inline constexpr T kPi = std::numbers::pi_v<T>;

}  // namespace suite
