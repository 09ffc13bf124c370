// The field's lane kernel: one ball's contributions at N points at once, where N = 1 is plain
// scalar code and N > 1 a compiler vector of N lanes. Written once; field_kernels.cpp compiles it
// for each instruction set. Every lane computes exactly what BallField::FieldValue computes for
// its point: the same wrapped 32-bit integer steps, the same floor substitutions, the same
// correctly rounded double division, added to the point's running sum ball by ball, in list
// order. IEEE division and addition round identically in every lane of every instruction set.
//
// The functions are always inlined, so that each instruction set's entry point compiles its own
// copy; a shared out-of-line copy would run one instruction set's code on another's CPU.
#pragma once

#include <cstdint>
#include <cstring>
#include <utility>

#include "ball.h"
#include "ball_field.h"

namespace field_lanes {

template <class T, int N>
struct LaneType {
  using type [[gnu::vector_size(N * sizeof(T))]] = T;
};
template <class T>
struct LaneType<T, 1> {
  using type = T;
};
template <class T, int N>
using Lanes = typename LaneType<T, N>::type;

// Lane operations that read the same for scalars and vectors. 32-bit integer lanes are
// unsigned, so every product and difference wraps as on a 32-bit machine.
template <int N>
using Wrapped = Lanes<std::uint32_t, N>;
template <int N>
using Doubles = Lanes<double, N>;

template <class V, class T>
[[gnu::always_inline]] inline V Splat(T value) {
  return V{} + value;
}
template <class V, class T>
[[gnu::always_inline]] inline V Load(const T* from) {
  V v;
  std::memcpy(&v, from, sizeof v);
  return v;
}
template <class V, class T>
[[gnu::always_inline]] inline void Store(T* to, V v) {
  std::memcpy(to, &v, sizeof v);
}

// 0, 1, ..., N - 1.
template <int N>
[[gnu::always_inline]] inline Wrapped<N> LaneIndices() {
  if constexpr (N == 1) {
    return 0;
  } else {
    return [&]<std::size_t... I>(std::index_sequence<I...>) {
      return Wrapped<N>{static_cast<std::uint32_t>(I)...};
    }(std::make_index_sequence<N>());
  }
}

// The wrapped value as a signed 32-bit integer, converted to double (lane by lane, which
// compilers turn into one widening conversion).
template <int N>
[[gnu::always_inline]] inline Doubles<N> SignedToDouble(Wrapped<N> v) {
  if constexpr (N == 1) {
    return static_cast<double>(static_cast<std::int32_t>(v));
  } else {
    return [&]<std::size_t... I>(std::index_sequence<I...>) {
      return Doubles<N>{static_cast<double>(static_cast<std::int32_t>(v[I]))...};
    }(std::make_index_sequence<N>());
  }
}

// Truncation toward zero of values within the 32-bit range, as doubles.
template <int N>
[[gnu::always_inline]] inline Doubles<N> Truncated(Doubles<N> v) {
  if constexpr (N == 1) {
    return static_cast<double>(static_cast<std::int32_t>(v));
  } else {
    using Ints = Lanes<std::int32_t, N>;
    return [&]<std::size_t... I>(std::index_sequence<I...>) {
      const Ints truncated = __builtin_convertvector(v, Ints);
      return Doubles<N>{static_cast<double>(truncated[I])...};
    }(std::make_index_sequence<N>());
  }
}

// |v|: the sign bit cleared.
template <int N>
[[gnu::always_inline]] inline Doubles<N> Magnitude(Doubles<N> v) {
  const auto bits = Load<Lanes<std::uint64_t, N>>(&v) & ~(std::uint64_t{1} << 63);
  return Load<Doubles<N>>(&bits);
}

template <int N>
[[gnu::always_inline]] inline void AddTerms(double* sums, std::int32_t k, Doubles<N> terms) {
  Store(sums + k, Load<Doubles<N>>(sums + k) + terms);
}

// Round ball: numerator / d2, with d2 the wrapped sum of the squared scaled offsets, and the
// floor for d2 < 2 (0, 1, or negative after wrapping).
template <int N>
[[gnu::always_inline]] inline Doubles<N> RoundTerm(Wrapped<N> distance2, double numerator) {
  const Doubles<N> d2 = SignedToDouble<N>(distance2);
  return numerator / (d2 < 2.0 ? Splat<Doubles<N>>(kFieldFloor) : d2);
}

// Square ball, one axis: |offset / scale| of a truncating 32-bit division, as a double.
// The correctly rounded double quotient of two 32-bit integers truncates to the exact integer
// quotient: a quotient that is not an integer lies at least 1/|scale| from every integer, farther
// than its rounding error (at most 2^-53 * 2^31 / |scale|). By a power of two the division is a
// multiplication by the exact reciprocal. |q| = 2^31 (INT_MIN / 1 and INT_MIN / -1) wraps to
// INT_MIN, which stays INT_MIN under |.|: a negative axis value, as on the 32-bit machine.
struct SquareAxis {
  double scale;       // not zero
  double reciprocal;  // 1 / scale when that is exact, else 0
  explicit SquareAxis(std::int32_t scaleValue) : scale(scaleValue), reciprocal(0.0) {
    const std::uint32_t magnitude = scaleValue < 0 ? 0u - static_cast<std::uint32_t>(scaleValue)
                                                   : static_cast<std::uint32_t>(scaleValue);
    if ((magnitude & (magnitude - 1)) == 0) reciprocal = 1.0 / scale;
  }
  template <int N>
  [[gnu::always_inline]] Doubles<N> Of(Wrapped<N> offset) const {
    const Doubles<N> signedOffset = SignedToDouble<N>(offset);
    const Doubles<N> quotient =
        Magnitude<N>(reciprocal != 0.0 ? signedOffset * reciprocal : signedOffset / scale);
    return Truncated<N>(quotient < 0x1p31 ? quotient : Splat<Doubles<N>>(-0x1p31));
  }
};

template <int N>
[[gnu::always_inline]] inline Doubles<N> SquareTerm(Doubles<N> ax, Doubles<N> ay, double numerator) {
  const Doubles<N> m = ax > ay ? ax : ay;
  return numerator / (m < 1.0 ? Splat<Doubles<N>>(kFieldFloor) : m);
}

// sums[k] += the ball's contribution at (x0 + k * dx, y), for k < count rounded up to N: the
// sums buffer has room for the last whole group, whose extra lanes take throwaway values.
// The ball is BALL_ROUND or a BALL_SQUARE without a zero scale. Along the row the offset
// centerX - x, and for a round ball its scaled offset, step by a constant (mod 2^32).
template <int N>
[[gnu::always_inline]] inline void AddBallRow(const Ball& record, std::int32_t x0, std::int32_t dx,
                                              std::int32_t count, std::int32_t y, double* sums) {
  const Ball ball = record;  // a local copy: the stores to sums cannot change it
  const auto offset0 = static_cast<std::uint32_t>(ball.centerX) - static_cast<std::uint32_t>(x0);
  const auto offsetY = static_cast<std::uint32_t>(ball.centerY) - static_cast<std::uint32_t>(y);
  const auto step = static_cast<std::uint32_t>(dx);
  if (ball.shape == BALL_ROUND) {
    const auto scaleX = static_cast<std::uint32_t>(ball.scaleX);
    const std::uint32_t scaledY = offsetY * static_cast<std::uint32_t>(ball.scaleY);
    const std::uint32_t dy2 = scaledY * scaledY;
    const auto numerator = static_cast<double>(ball.radius * ball.radius);
    const std::uint32_t scaledStep = step * scaleX;
    Wrapped<N> scaledX = Splat<Wrapped<N>>(offset0 * scaleX) - LaneIndices<N>() * scaledStep;
    for (std::int32_t k = 0; k < count; k += N, scaledX -= N * scaledStep) {
      AddTerms<N>(sums, k, RoundTerm<N>(scaledX * scaledX + dy2, numerator));
    }
  } else {
    const SquareAxis alongX(ball.scaleX);
    const auto ay = Splat<Doubles<N>>(SquareAxis(ball.scaleY).Of<1>(offsetY));
    const auto numerator = static_cast<double>(ball.radius);
    Wrapped<N> offsetX = Splat<Wrapped<N>>(offset0) - LaneIndices<N>() * step;
    for (std::int32_t k = 0; k < count; k += N, offsetX -= N * step) {
      AddTerms<N>(sums, k, SquareTerm<N>(alongX.Of<N>(offsetX), ay, numerator));
    }
  }
}

// sums[k] += the ball's contribution at (xs[k], ys[k]); xs, ys and sums hold count rounded up
// to N entries. The ball is as for AddBallRow.
template <int N>
[[gnu::always_inline]] inline void AddBallPoints(const Ball& record, const std::int32_t* xs,
                                                 const std::int32_t* ys, std::int32_t count,
                                                 double* sums) {
  const Ball ball = record;
  const auto centreX = static_cast<std::uint32_t>(ball.centerX);
  const auto centreY = static_cast<std::uint32_t>(ball.centerY);
  if (ball.shape == BALL_ROUND) {
    const auto numerator = static_cast<double>(ball.radius * ball.radius);
    const auto scaleX = static_cast<std::uint32_t>(ball.scaleX);
    const auto scaleY = static_cast<std::uint32_t>(ball.scaleY);
    for (std::int32_t k = 0; k < count; k += N) {
      const Wrapped<N> ox = (centreX - Load<Wrapped<N>>(xs + k)) * scaleX;
      const Wrapped<N> oy = (centreY - Load<Wrapped<N>>(ys + k)) * scaleY;
      AddTerms<N>(sums, k, RoundTerm<N>(ox * ox + oy * oy, numerator));
    }
  } else {
    const SquareAxis alongX(ball.scaleX), alongY(ball.scaleY);
    const auto numerator = static_cast<double>(ball.radius);
    for (std::int32_t k = 0; k < count; k += N) {
      const Doubles<N> ax = alongX.Of<N>(centreX - Load<Wrapped<N>>(xs + k));
      const Doubles<N> ay = alongY.Of<N>(centreY - Load<Wrapped<N>>(ys + k));
      AddTerms<N>(sums, k, SquareTerm<N>(ax, ay, numerator));
    }
  }
}

// inside[k] = 1 where sums[k] - threshold >= 0.0, else 0, for exactly count entries. A plain
// loop: compilers vectorise it for the instruction set it is inlined into.
template <int N>
[[gnu::always_inline]] inline void InsideFlags(const double* sums, std::int32_t count,
                                               std::int32_t threshold, std::uint8_t* inside) {
  const auto limit = static_cast<double>(threshold);
  for (std::int32_t k = 0; k < count; ++k) inside[k] = sums[k] - limit >= 0.0 ? 1 : 0;
}

}  // namespace field_lanes
