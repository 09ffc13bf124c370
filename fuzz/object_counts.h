// Live platform objects by kind: every fuzz run must end with as many as it started with.
#pragma once

#include <array>

#include "platform/native/gdi/objects.h"

inline std::array<int, 4> LiveObjects() {
  using zantrel::gdi::Kind;
  using zantrel::gdi::LiveCount;
  return {LiveCount(Kind::kDc), LiveCount(Kind::kBitmap), LiveCount(Kind::kPen),
          LiveCount(Kind::kBrush)};
}
