#include "contour/contour_tracer.h"
#include "field/ball_field.h"
#include "surface/surface.h"

void BallField::DrawContour(std::int32_t cells, std::int32_t width, std::int32_t height,
                            std::int32_t threshold, Surface* surface) const {
  if (!surface) return;
  TraceContour(*this, cells, width, height, threshold, *surface);
}
