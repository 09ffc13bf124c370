// Benchmarks of the surface, the field and the frame, built for every target, so each native
// figure has Wine's gdi32 and the WebAssembly build beside it (scripts/bench puts them together).
#include <array>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "app/app.h"
#include "bench/bench.h"
#include "contour/contour_trace.h"
#include "examples/shapes.h"
#include "field/field_kernels.h"
#include "field/wrap32.h"

#include "bench/allocation_counter.h"

namespace {

constexpr int kSize = 400;

struct Picture {
  Surface surface;
  Picture() {
    surface.Create(kSize, kSize, 32);
    surface.SetPenColor(0x00FFFFFF);
  }
};

HWND BenchWindow() {
  static HWND window = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "ZantrelBench";
    RegisterClassA(&windowClass);
    HWND created = CreateWindowExA(0, "ZantrelBench", "bench", WS_CAPTION, 0, 0, 406, 425,
                                   nullptr, nullptr, nullptr, nullptr);
    ShowWindow(created, 1);  // shown, so copies into it really reach its pixels
    return created;
  }();
  return window;
}

void BM_Clear(benchmark::State& state) {
  Picture p;
  for (auto _ : state) {
    p.surface.Clear(0x00102030);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Clear);

void BM_Memset(benchmark::State& state) {
  std::vector<std::uint8_t> bytes(kSize * kSize * 4);
  for (auto _ : state) {
    std::memset(bytes.data(), 0x30, bytes.size());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Memset);

// 256 fixed random lines across and beyond the picture, all in one timed iteration.
std::vector<std::array<int, 4>> RandomLines() {
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> coordinate(-100, kSize + 100);
  std::vector<std::array<int, 4>> lines(256);
  for (auto& l : lines) l = {coordinate(random), coordinate(random), coordinate(random), coordinate(random)};
  return lines;
}

void BM_DrawLine(benchmark::State& state) {
  Picture p;
  const auto lines = RandomLines();
  for (auto _ : state) {
    for (const auto& l : lines) p.surface.DrawLine(l[0], l[1], l[2], l[3]);
    benchmark::ClobberMemory();
  }
  state.counters["lines_per_iteration"] = 256;
}
BENCHMARK(BM_DrawLine);

// The lower bound of drawing lines: only the stores of their pixels, at addresses found
// beforehand by drawing each line alone.
void RunStores(benchmark::State& state, const std::vector<std::array<int, 4>>& lines) {
  Picture p;
  auto* bits = static_cast<std::uint32_t*>(p.surface.bitmapRecord.bmBits);
  std::vector<std::uint32_t> pixels;
  for (const auto& l : lines) {
    p.surface.Clear(0);
    p.surface.DrawLine(l[0], l[1], l[2], l[3]);
    for (std::uint32_t i = 0; i < kSize * kSize; ++i) {
      if (bits[i] != 0) pixels.push_back(i);
    }
  }
  for (auto _ : state) {
    for (std::uint32_t i : pixels) bits[i] = 0x00FFFFFF;
    benchmark::ClobberMemory();
  }
  state.counters["pixels"] = static_cast<double>(pixels.size());
}

void BM_DrawLineStores(benchmark::State& state) { RunStores(state, RandomLines()); }
BENCHMARK(BM_DrawLineStores);

// A frame's own segments (the first frame's 394, most a pixel or two long) drawn on the frame's
// surface, and beside them the stores of their pixels alone.
std::vector<std::array<int, 4>> FrameSegments() {
  BallField balls;
  BuildScene(balls);
  RecordingCanvas canvas;
  TraceContour(balls, kFrameCells, kSize, kSize, kFrameThreshold, canvas);
  std::vector<std::array<int, 4>> lines;
  for (const TracedSegment& s : canvas.segments) lines.push_back({s.x0, s.y0, s.x1, s.y1});
  return lines;
}

void BM_DrawSegments(benchmark::State& state) {
  Picture p;
  const auto segments = FrameSegments();
  for (auto _ : state) {
    for (const auto& s : segments) p.surface.DrawLine(s[0], s[1], s[2], s[3]);
    benchmark::ClobberMemory();
  }
  state.counters["segments"] = static_cast<double>(segments.size());
}
BENCHMARK(BM_DrawSegments);

void BM_DrawSegmentStores(benchmark::State& state) { RunStores(state, FrameSegments()); }
BENCHMARK(BM_DrawSegmentStores);

// The same segments walked inline on the picture's memory, the end pixel included: no calls, no
// handles, no clipping, the walk's own set-up and steps only. What any line walk must pay beyond
// the stores.
void BM_DrawSegmentsBare(benchmark::State& state) {
  Picture p;
  auto* bits = static_cast<std::uint32_t*>(p.surface.bitmapRecord.bmBits);
  const auto segments = FrameSegments();
  for (auto _ : state) {
    for (const auto& s : segments) {
      const int dx = s[2] - s[0], dy = s[3] - s[1];
      const int absX = dx < 0 ? -dx : dx, absY = dy < 0 ? -dy : dy;
      const bool xMajor = absX > absY;
      const int major = xMajor ? absX : absY, minor = xMajor ? absY : absX;
      const int bias = (xMajor ? dy : dx) < 0;
      const std::ptrdiff_t stepX = dx < 0 ? -1 : 1, stepY = dy < 0 ? kSize : -kSize;  // bottom-up rows
      const std::ptrdiff_t majorStep = xMajor ? stepX : stepY, minorStep = xMajor ? stepY : stepX;
      std::uint32_t* at = bits + std::ptrdiff_t{kSize - 1 - s[1]} * kSize + s[0];
      int err = 2 * minor - major;
      for (int k = 0; k < major; ++k) {
        *at = 0x00FFFFFF;
        const bool step = err + bias > 0;
        at += majorStep + (step ? minorStep : 0);
        err += 2 * minor - (step ? 2 * major : 0);
      }
      *at = 0x00FFFFFF;
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawSegmentsBare);

void BM_Blit(benchmark::State& state) {
  Picture source, target;
  source.surface.Clear(0x00445566);
  for (auto _ : state) {
    target.surface.Blit(source.surface, 0, 0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Blit);

void BM_Memcpy(benchmark::State& state) {
  std::vector<std::uint8_t> from(kSize * kSize * 4, 7), to(kSize * kSize * 4);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), to.size());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Memcpy);

// Each present shows another picture than the one before, as in a drag: the frames before and
// after a one-pixel step of a ball, in turn. (A window shown the same picture again may find
// nothing to do.)
void BM_Present(benchmark::State& state) {
  Picture frames[2];
  BallField balls;
  BuildScene(balls);
  for (Picture& p : frames) {
    balls.DrawContour(200, kSize, kSize, 2, &p.surface);
    ++balls.Head()->next->item->centerX;
  }
  HWND window = BenchWindow();
  int shown = 0;
  for (auto _ : state) frames[shown ^= 1].surface.Present(window, 0, 0);
}
BENCHMARK(BM_Present);

// 64 triangles of 10 to 60 rows; the time is per triangle.
void BM_FillTriangle(benchmark::State& state) {
  Picture p;
  std::mt19937 random(99);
  std::uniform_int_distribution<int> corner(0, kSize - 1), offset(-30, 30);
  std::vector<std::array<int, 6>> triangles(64);
  for (auto& t : triangles) {
    const int x = corner(random), y = corner(random);
    t = {x, y, x + offset(random), y + offset(random), x + offset(random), y + offset(random)};
  }
  for (auto _ : state) {
    for (const auto& t : triangles) p.surface.FillTriangle(t[0], t[1], t[2], t[3], t[4], t[5]);
    benchmark::ClobberMemory();
  }
  state.counters["triangles_per_iteration"] = 64;
}
BENCHMARK(BM_FillTriangle);

void BM_DrawShadedMesh(benchmark::State& state) {
  Picture p;
  Mesh sphere;
  BuildSphere(sphere, 150, 22, 46);
  RotateMesh(sphere, 0.4, 0.3);
  for (auto _ : state) {
    p.surface.DrawShadedMesh(sphere.vertices, sphere.triangles);
    benchmark::ClobberMemory();
  }
  state.counters["triangles"] = sphere.TriangleCount();
}
BENCHMARK(BM_DrawShadedMesh);

BallField& Scene() {
  static BallField* balls = [] {
    auto* b = new BallField;
    BuildScene(*b);
    return b;
  }();
  return *balls;
}

// Every corner of the first frame's grid (40401 evaluations) point by point, in grid order.
void BM_FieldValue(benchmark::State& state) {
  const BallField& balls = Scene();
  for (auto _ : state) {
    double sum = 0;
    for (int j = 0; j <= 200; ++j) {
      for (int i = 0; i <= 200; ++i) sum += balls.FieldValue(i * 2 - 200, 200 - j * 2, 2);
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["evaluations_per_iteration"] = 201 * 201;
}
BENCHMARK(BM_FieldValue);

// The scalar floor: the same field straight from three local records, no list walk, no drawing,
// as many evaluations as the point by point trace of the first frame makes (41189).
struct LocalBall {
  bool round;
  std::int32_t radius, cx, cy, sx, sy;
};
constexpr LocalBall kLocalScene[3] = {
    {true, 80, -50, 0, 2, 1}, {true, 80, 50, 0, 1, 1}, {false, 50, 0, 30, 2, 1}};

double LocalField(const LocalBall (&scene)[3], std::int32_t x, std::int32_t y) {
  double total = 0;
  for (const LocalBall& b : scene) {
    if (b.round) {
      const std::int32_t dx = (b.cx - x) * b.sx, dy = (b.cy - y) * b.sy;
      const double d2 = static_cast<double>(dx * dx + dy * dy);
      total += static_cast<double>(b.radius * b.radius) / (d2 < 2.0 ? 1e-6 : d2);
    } else {
      const std::int32_t ax = std::abs((b.cx - x) / b.sx), ay = std::abs((b.cy - y) / b.sy);
      const double m = static_cast<double>(ax > ay ? ax : ay);
      total += static_cast<double>(b.radius) / (m < 1.0 ? 1e-6 : m);
    }
  }
  return total - 2.0;
}

void BM_Floor(benchmark::State& state) {
  // Copied at run time and hidden from the optimiser, so the scales are not folded into shifts:
  // the floor divides exactly as the field does.
  LocalBall scene[3];
  std::memcpy(scene, kLocalScene, sizeof scene);
  benchmark::DoNotOptimize(scene);
  for (auto _ : state) {
    double sum = 0;
    int evaluations = 0;
    for (int j = 0; j <= 200 && evaluations < 41189; ++j) {
      for (int i = 0; i <= 200 && evaluations < 41189; ++i, ++evaluations) {
        sum += LocalField(scene, i * 2 - 200, 200 - j * 2);
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["evaluations_per_iteration"] = 41189;
}
BENCHMARK(BM_Floor);

// The vector floor: the exact corner pass of a frame (201 rows of 201 corners, the three balls)
// in one field kernel's lanes, as straight loops over local records: no list walk, no cell pass,
// no drawing. The argument is the instruction set; those the CPU lacks are skipped.
void BM_CornerFloor(benchmark::State& state) {
  const auto set = static_cast<InstructionSet>(state.range(0));
  const FieldKernel* kernel = nullptr;
  for (const FieldKernel* available : AvailableFieldKernels()) {
    if (available->set == set) kernel = available;
  }
  if (!kernel) {
    state.SkipWithError("not on this CPU");
    return;
  }
  state.SetLabel(kernel->name);
  Ball scene[3] = {{BALL_ROUND, 80}, {BALL_ROUND, 80}, {BALL_SQUARE, 50}};
  const std::int32_t centres[3][4] = {{-50, 0, 2, 1}, {50, 0, 1, 1}, {0, 30, 2, 1}};
  for (int b = 0; b < 3; ++b) {
    scene[b].centerX = centres[b][0], scene[b].centerY = centres[b][1];
    scene[b].scaleX = centres[b][2], scene[b].scaleY = centres[b][3];
  }
  benchmark::DoNotOptimize(scene);
  alignas(64) double sums[208];
  static std::uint8_t flags[201 * 201];
  for (auto _ : state) {
    for (std::int32_t i = 0; i <= 200; ++i) {
      for (double& sum : sums) sum = 0.0;
      for (const Ball& ball : scene) kernel->addRow(ball, -200, 2, 201, 200 - 2 * i, sums);
      kernel->insideFlags(sums, 201, 2, flags + 201 * i);
    }
    benchmark::ClobberMemory();
  }
  state.counters["corners_per_iteration"] = 201 * 201;
}
BENCHMARK(BM_CornerFloor)->DenseRange(0, 4, 1);

// The bounded corner pass of a frame alone, against the corner floor: the same flags.
void BM_CornerPass(benchmark::State& state) {
  const BallField& balls = Scene();
  static std::uint8_t flags[201 * 201];
  std::int64_t evaluated = 0;
  for (auto _ : state) {
    evaluated = balls.InsideGrid(-200, 2, 201, 200, 2, 201, 2, flags);
    benchmark::ClobberMemory();
  }
  state.counters["exact_corners"] = static_cast<double>(evaluated);
}
BENCHMARK(BM_CornerPass);

void BM_DrawContour(benchmark::State& state) {
  Picture p;
  const BallField& balls = Scene();
  for (auto _ : state) {
    balls.DrawContour(200, kSize, kSize, 2, &p.surface);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawContour);

// A whole frame as a drag step draws it: clear, trace, copy into the window. The first ball steps
// one unit to and fro, so that every frame shows another picture than the one before. The field
// traced is the scene itself or a view of it (the every-corner reference).
template <class Field>
void RunFrames(benchmark::State& state, BallField& balls, const Field& field, std::int32_t cells) {
  Picture p;
  HWND window = BenchWindow();
  std::int32_t& stepping = balls.Head()->next->item->centerX;
  const std::int32_t start = stepping;
  std::int64_t allocations = 0, frames = 0;
  for (auto _ : state) {
    stepping = start + (frames & 1);
    const std::int64_t before = HeapAllocations();
    p.surface.Clear(0);
    TraceContour(field, cells, kSize, kSize, 2, p.surface);
    p.surface.Present(window, 0, 0);
    allocations += HeapAllocations() - before;
    ++frames;
  }
  stepping = start;
  state.counters["allocations_per_frame"] =
      frames ? static_cast<double>(allocations) / static_cast<double>(frames) : 0;
}

// The corners a frame's bounded pass evaluates one by one, out of (cells + 1)^2.
void CountExactCorners(benchmark::State& state, const BallField& balls, std::int32_t cells) {
  static std::uint8_t flags[kMaxCornerFlags];
  const std::int32_t step = kSize / cells;
  state.counters["exact_corners"] =
      static_cast<double>(balls.InsideGrid(-kSize / 2, step, cells + 1, kSize / 2, step, cells + 1, 2, flags));
  state.counters["corners"] = static_cast<double>((cells + 1) * (cells + 1));
}

void BM_Frame(benchmark::State& state) {
  state.SetLabel(ActiveFieldKernel().name);
  RunFrames(state, Scene(), Scene(), 200);
  CountExactCorners(state, Scene(), 200);
}
BENCHMARK(BM_Frame);

// The same frame with every corner evaluated (the reference pass the bounded one must match).
void BM_FrameEveryCorner(benchmark::State& state) {
  state.SetLabel(ActiveFieldKernel().name);
  RunFrames(state, Scene(), EveryCornerField<BallField>{Scene()}, 200);
}
BENCHMARK(BM_FrameEveryCorner);

void BM_FrameCells(benchmark::State& state) {
  const auto cells = static_cast<std::int32_t>(state.range(0));
  RunFrames(state, Scene(), Scene(), cells);
  CountExactCorners(state, Scene(), cells);
}
BENCHMARK(BM_FrameCells)->Arg(25)->Arg(50)->Arg(100)->Arg(200)->Arg(400)->Arg(706);

void BM_FrameBalls(benchmark::State& state) {
  BallField balls;
  std::mt19937 random(5);
  std::uniform_int_distribution<int> centre(-150, 150);
  for (std::int64_t i = 0; i < state.range(0); ++i) {
    Ball* b = balls.AddBall(i % 3 == 2 ? BALL_SQUARE : BALL_ROUND, 30);
    b->centerX = centre(random), b->centerY = centre(random), b->scaleX = 1 + i % 2, b->scaleY = 1;
  }
  RunFrames(state, balls, balls, 200);
  CountExactCorners(state, balls, 200);
}
BENCHMARK(BM_FrameBalls)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Arg(16)->Arg(32)->Arg(64);

}  // namespace

BENCHMARK_MAIN();
