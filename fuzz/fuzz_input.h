// Shared by the fuzz targets: values drawn from the input with a bias toward the ones that break
// things (the picture's own edges, the 32-bit limits, NaN), and a check that aborts loudly.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include <fuzzer/FuzzedDataProvider.h>

// A failed property is a crash for libFuzzer, with the reason on stderr.
inline void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "property violated: %s\n", what);
  std::abort();
}

// A coordinate: small, near a picture edge, near the 32-bit limits, or anything at all.
inline std::int32_t FuzzCoordinate(FuzzedDataProvider& in, std::int32_t extent = 64) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0: return in.ConsumeIntegral<std::int32_t>();
    case 1: return kMin + in.ConsumeIntegralInRange(0, 4);
    case 2: return kMax - in.ConsumeIntegralInRange(0, 4);
    case 3: return extent + in.ConsumeIntegralInRange(-3, 3);
    case 4: return in.ConsumeIntegralInRange(-100000, 100000);
    default: return in.ConsumeIntegralInRange(-8, extent + 8);
  }
}

// A double for mesh coordinates: integers, fractions, huge values, infinities and NaN.
inline double FuzzDouble(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 9)) {
    case 0: return std::numeric_limits<double>::quiet_NaN();
    case 1: return in.ConsumeBool() ? HUGE_VAL : -HUGE_VAL;
    case 2: return in.ConsumeFloatingPoint<double>();
    case 3: return in.ConsumeBool() ? 2147483648.0 : -2147483649.0;
    case 4: return in.ConsumeFloatingPointInRange(-1e6, 1e6);
    default: return in.ConsumeIntegralInRange(-300, 300) + in.ConsumeIntegralInRange(0, 3) / 4.0;
  }
}
