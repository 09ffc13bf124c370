// The application: its globals, its window procedure, and the frame it draws.
#pragma once

#include <cstdint>

#include "field/ball_field.h"
#include "platform/win32.h"
#include "surface/surface.h"

// Constructed in this order before WinMain, destroyed in reverse at exit.
extern Surface g_surface;
extern BallField g_balls;

extern Ball* g_picked;
extern bool g_dragging;
extern std::int32_t g_lastX;
extern std::int32_t g_lastY;
extern const std::int32_t g_originX;
extern const std::int32_t g_originY;
extern const std::int32_t g_presentX;
extern const std::int32_t g_presentY;

constexpr std::int32_t kFrameCells = 200;
constexpr std::int32_t kFrameSize = 400;
constexpr std::int32_t kFrameThreshold = 2;
constexpr Color kContourColor = 0x00FFFFFF;
constexpr Color kBackgroundColor = 0;

// The three balls of the initial scene, in list order.
void BuildScene(BallField& balls);
// The frame's surface, kFrameSize square at 32 bits per pixel, with the contour's pen.
void CreateSurface(Surface& surface);
// Clear, trace the contour, copy into the window.
void DrawFrame(HWND window);

// Registers the window class "BMP" of AppWindowProc; false when that fails (say, it already is).
bool RegisterAppClass(HINSTANCE instance);
// The application's window of that class: "Zantrel -Sample-", caption, system menu and minimise
// box, its client area the frame's size; not shown yet.
HWND CreateAppWindow(HINSTANCE instance);

LRESULT CALLBACK AppWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
