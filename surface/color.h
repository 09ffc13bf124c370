#pragma once

#include <cstdint>

// 0x00BBGGRR: red in the low byte, as a GDI COLORREF.
using Color = std::uint32_t;
