// Recorders for watching a contour trace: a field that logs every evaluation before forwarding
// it, a field that evaluates every corner, and a canvas that logs every line. Used by tests,
// benchmarks, fuzzing and the headless renderer.
#pragma once

#include <cstdint>
#include <vector>

#include "contour_tracer.h"

struct TracedSegment {
  std::int32_t x0, y0, x1, y1;
  bool operator==(const TracedSegment&) const = default;
};

template <class Field>
struct CountingField {
  const Field& field;
  mutable std::vector<ContourPoint> evaluations;
  double FieldValue(std::int32_t x, std::int32_t y, std::int32_t threshold) const {
    evaluations.push_back({x, y});
    return field.FieldValue(x, y, threshold);
  }
};

// A field's rows of corners and of midpoints without its bounded corner pass: every corner is
// evaluated, the reference the bounded pass must match.
template <class Field>
struct EveryCornerField {
  const Field& field;
  double FieldValue(std::int32_t x, std::int32_t y, std::int32_t threshold) const {
    return field.FieldValue(x, y, threshold);
  }
  void InsideRow(std::int32_t x0, std::int32_t dx, std::int32_t count, std::int32_t y, std::int32_t threshold,
                 std::uint8_t* inside) const {
    field.InsideRow(x0, dx, count, y, threshold, inside);
  }
  void InsidePoints(const std::int32_t* xs, const std::int32_t* ys, std::int32_t count, std::int32_t threshold,
                    std::uint8_t* inside) const {
    field.InsidePoints(xs, ys, count, threshold, inside);
  }
};

struct RecordingCanvas {
  std::vector<TracedSegment> segments;
  void DrawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    segments.push_back({x0, y0, x1, y1});
  }
};
