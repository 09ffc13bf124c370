// The field's lane kernels, one per instruction set, and the choice among them. BallField's row
// and point passes call the chosen one; tests, fuzzing and benchmarks may choose another.
#pragma once

#include <cstdint>
#include <span>

#include "ball.h"

enum class InstructionSet { kScalar, kSse2, kAvx2, kAvx512, kSimd128 };

struct FieldKernel {
  InstructionSet set;
  const char* name;
  // Points per lane group; buffers given to addRow and addPoints hold counts rounded up to it.
  std::int32_t lanes;
  // sums[k] += the ball's contribution at (x0 + k * dx, y), k < count. The ball is BALL_ROUND or
  // a BALL_SQUARE without a zero scale.
  void (*addRow)(const Ball& ball, std::int32_t x0, std::int32_t dx, std::int32_t count,
                 std::int32_t y, double* sums);
  // sums[k] += the ball's contribution at (xs[k], ys[k]), k < count; the same balls.
  void (*addPoints)(const Ball& ball, const std::int32_t* xs, const std::int32_t* ys,
                    std::int32_t count, double* sums);
  // inside[k] = 1 where sums[k] - threshold >= 0.0, else 0, k < count (exactly count entries).
  void (*insideFlags)(const double* sums, std::int32_t count, std::int32_t threshold,
                      std::uint8_t* inside);
};

// The widest lane group of any kernel: buffers rounded up to it suit every kernel.
constexpr std::int32_t kMaxFieldLanes = 8;

// The kernels this CPU runs, the portable scalar one first and the fastest last.
std::span<const FieldKernel* const> AvailableFieldKernels();

// The kernel in use: the fastest available unless another was chosen.
const FieldKernel& ActiveFieldKernel();

// Uses that instruction set's kernel from now on; false (and no change) when the CPU lacks it.
bool UseFieldKernel(InstructionSet set);
