// The one place that knows instruction sets: it compiles the lane kernel of field_lanes.h once
// per set and picks one by what the CPU reports. SSE2 is the floor of every x86 build (the i686
// one included: never x87 arithmetic); AVX2 and AVX-512 are compiled alongside with per-function
// target attributes and chosen at run time, so nothing here needs -march. WebAssembly cannot
// choose at run time (a module with SIMD instructions only loads where they exist, as in every
// current browser and Node.js), so the web build compiles this library with 128-bit SIMD.
// Elsewhere only the portable scalar kernel exists.
#include "field/field_kernels.h"

#include <array>

#include "field/field_lanes.h"

namespace {

template <int N>
void AddRow(const Ball& ball, std::int32_t x0, std::int32_t dx, std::int32_t count, std::int32_t y,
            double* sums) {
  field_lanes::AddBallRow<N>(ball, x0, dx, count, y, sums);
}
template <int N>
void AddPoints(const Ball& ball, const std::int32_t* xs, const std::int32_t* ys, std::int32_t count,
               double* sums) {
  field_lanes::AddBallPoints<N>(ball, xs, ys, count, sums);
}
template <int N>
void InsideFlags(const double* sums, std::int32_t count, std::int32_t threshold, std::uint8_t* inside) {
  field_lanes::InsideFlags<N>(sums, count, threshold, inside);
}

constexpr FieldKernel kScalar{InstructionSet::kScalar, "scalar", 1, AddRow<1>, AddPoints<1>,
                              InsideFlags<1>};

#if defined(__x86_64__) || defined(__i386__)

// Two lanes, the two doubles of an SSE2 register; the two points' 32-bit integer steps use half
// of an integer register. The wider kernels below are the same code in four and eight lanes.
[[gnu::target("sse2")]] void AddRowSse2(const Ball& b, std::int32_t x0, std::int32_t dx, std::int32_t n,
                                        std::int32_t y, double* s) {
  field_lanes::AddBallRow<2>(b, x0, dx, n, y, s);
}
[[gnu::target("sse2")]] void AddPointsSse2(const Ball& b, const std::int32_t* xs, const std::int32_t* ys,
                                           std::int32_t n, double* s) {
  field_lanes::AddBallPoints<2>(b, xs, ys, n, s);
}
[[gnu::target("sse2")]] void InsideFlagsSse2(const double* s, std::int32_t n, std::int32_t t,
                                             std::uint8_t* inside) {
  field_lanes::InsideFlags<2>(s, n, t, inside);
}
[[gnu::target("avx2")]] void AddRowAvx2(const Ball& b, std::int32_t x0, std::int32_t dx, std::int32_t n,
                                        std::int32_t y, double* s) {
  field_lanes::AddBallRow<4>(b, x0, dx, n, y, s);
}
[[gnu::target("avx2")]] void AddPointsAvx2(const Ball& b, const std::int32_t* xs, const std::int32_t* ys,
                                           std::int32_t n, double* s) {
  field_lanes::AddBallPoints<4>(b, xs, ys, n, s);
}
[[gnu::target("avx2")]] void InsideFlagsAvx2(const double* s, std::int32_t n, std::int32_t t,
                                             std::uint8_t* inside) {
  field_lanes::InsideFlags<4>(s, n, t, inside);
}
[[gnu::target("avx512f")]] void AddRowAvx512(const Ball& b, std::int32_t x0, std::int32_t dx,
                                             std::int32_t n, std::int32_t y, double* s) {
  field_lanes::AddBallRow<8>(b, x0, dx, n, y, s);
}
[[gnu::target("avx512f")]] void AddPointsAvx512(const Ball& b, const std::int32_t* xs,
                                                const std::int32_t* ys, std::int32_t n, double* s) {
  field_lanes::AddBallPoints<8>(b, xs, ys, n, s);
}
[[gnu::target("avx512f")]] void InsideFlagsAvx512(const double* s, std::int32_t n, std::int32_t t,
                                                  std::uint8_t* inside) {
  field_lanes::InsideFlags<8>(s, n, t, inside);
}

constexpr FieldKernel kSse2{InstructionSet::kSse2, "SSE2", 2, AddRowSse2, AddPointsSse2, InsideFlagsSse2};
constexpr FieldKernel kAvx2{InstructionSet::kAvx2, "AVX2", 4, AddRowAvx2, AddPointsAvx2, InsideFlagsAvx2};
constexpr FieldKernel kAvx512{InstructionSet::kAvx512, "AVX-512", 8, AddRowAvx512, AddPointsAvx512,
                              InsideFlagsAvx512};

// __builtin_cpu_supports also asks the operating system whether it saves the wider registers.
struct Available {
  std::array<const FieldKernel*, 4> kernels{};
  std::size_t count = 0;
  Available() {
    kernels[count++] = &kScalar;
    __builtin_cpu_init();
    if (__builtin_cpu_supports("sse2")) kernels[count++] = &kSse2;
    if (__builtin_cpu_supports("avx2")) kernels[count++] = &kAvx2;
    if (__builtin_cpu_supports("avx512f")) kernels[count++] = &kAvx512;
  }
};

#elif defined(__wasm_simd128__)

constexpr FieldKernel kSimd128{InstructionSet::kSimd128, "SIMD128", 2, AddRow<2>, AddPoints<2>,
                               InsideFlags<2>};

struct Available {
  std::array<const FieldKernel*, 2> kernels{&kScalar, &kSimd128};
  std::size_t count = 2;
};

#else

struct Available {
  std::array<const FieldKernel*, 1> kernels{&kScalar};
  std::size_t count = 1;
};

#endif

const Available& Kernels() {
  static const Available available;
  return available;
}

const FieldKernel*& Active() {
  static const FieldKernel* active = Kernels().kernels[Kernels().count - 1];
  return active;
}

}  // namespace

std::span<const FieldKernel* const> AvailableFieldKernels() {
  return {Kernels().kernels.data(), Kernels().count};
}

const FieldKernel& ActiveFieldKernel() { return *Active(); }

bool UseFieldKernel(InstructionSet set) {
  for (const FieldKernel* kernel : AvailableFieldKernels()) {
    if (kernel->set == set) {
      Active() = kernel;
      return true;
    }
  }
  return false;
}
