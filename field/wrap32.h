// 32-bit two's-complement arithmetic without undefined behaviour: every step is done on unsigned
// values and converted back, which C++20 defines as modular.
#pragma once

#include <cstdint>
#include <limits>

namespace wrap32 {

constexpr std::int32_t Add(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
constexpr std::int32_t Sub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
constexpr std::int32_t Mul(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}
constexpr std::int32_t Abs(std::int32_t a) {
  return a < 0 ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(a)) : a;
}
// Truncating division. INT_MIN / -1 traps on x86; it gives the wrapped quotient INT_MIN instead.
// The divisor must not be zero.
constexpr std::int32_t Div(std::int32_t a, std::int32_t b) {
  if (b == -1) return Sub(0, a);
  return a / b;
}

}  // namespace wrap32
