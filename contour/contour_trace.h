// Recorders for watching a contour trace: a field that logs every evaluation before forwarding
// it, and a canvas that logs every line. Used by tests and the headless renderer.
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

struct RecordingCanvas {
  std::vector<TracedSegment> segments;
  void DrawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    segments.push_back({x0, y0, x1, y1});
  }
};
