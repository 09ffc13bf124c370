// zantrel-soak: the application's window procedure driven through many drag steps on the
// headless backend, with the platform's live objects and the resident memory compared between
// the state after the first round of the drag pattern and the end.
//
//   zantrel-soak [STEPS]     (default 100000)
//
// Every step is a WM_MOUSEMOVE during a drag, so every step draws a whole frame (a brush made and
// deleted, the contour traced, the window DC got and released). The balls are picked in turn and
// moved back and forth over the picture, the same round over and over. The first round is not
// counted: its frames reach the deepest stack and the largest tables the pattern needs (a frame
// with more crossed cells uses more of the tracer's fixed tables), and later rounds repeat those
// frames exactly, so any growth after it is a leak. Exits 1 when any count or the resident size
// differs.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "app/app.h"
#include "platform/native/gdi/objects.h"

namespace {

struct Figures {
  std::array<int, 4> objects;  // DCs, bitmaps, pens, brushes
  long residentKiB;            // all resident pages
  long anonymousKiB;           // resident less file-backed (code first run late is no growth)
};

Figures Measure() {
  using zantrel::gdi::Kind;
  using zantrel::gdi::LiveCount;
  long size = 0, resident = -1, shared = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld %ld", &size, &resident, &shared) != 3) resident = -1;
    std::fclose(statm);
  }
  const long pageKiB = sysconf(_SC_PAGESIZE) / 1024;
  return {{LiveCount(Kind::kDc), LiveCount(Kind::kBitmap), LiveCount(Kind::kPen),
           LiveCount(Kind::kBrush)},
          resident * pageKiB, (resident - shared) * pageKiB};
}

void Print(const char* when, long steps, const Figures& f) {
  std::printf("%-6s %7ld steps: dc %d, bitmap %d, pen %d, brush %d, resident %ld KiB (%ld KiB not file-backed)\n",
              when, steps, f.objects[0], f.objects[1], f.objects[2], f.objects[3], f.residentKiB,
              f.anonymousKiB);
}

LPARAM ClientPoint(int x, int y) {
  return static_cast<LPARAM>(static_cast<DWORD>(x) | (static_cast<DWORD>(y) << 16));
}

}  // namespace

int main(int argc, char** argv) {
  const long steps = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 100000;
  // Each ball is held for 480 steps, swept 40 pixels right and back six times; a release and a
  // press on the next ball's centre between holds. The three centres return to where they started.
  constexpr int kHold = 480;
  constexpr int kCentres[3][2] = {{150, 200}, {250, 200}, {200, 170}};
  constexpr long kRound = 3 * kHold;
  if (steps <= kRound) {
    std::fprintf(stderr, "usage: zantrel-soak [STEPS > %ld]\n", kRound);
    return 2;
  }
  setenv("ZANTREL_BACKEND", "headless", 1);

  RegisterAppClass(nullptr);
  HWND window = CreateAppWindow(nullptr);
  BuildScene(g_balls);
  CreateSurface(g_surface);
  ShowWindow(window, SW_SHOW);
  DrawFrame(window);

  // A first reading makes the buffers the readings use, so that they are not counted as growth.
  Figures early = Measure();
  long done = 0;
  for (int hold = 0; done < steps; ++hold) {
    const int* centre = kCentres[hold % 3];
    AppWindowProc(window, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(centre[0], centre[1]));
    if (!g_dragging) {
      std::fprintf(stderr, "zantrel-soak: no ball under (%d, %d)\n", centre[0], centre[1]);
      return 1;
    }
    int x = centre[0];
    for (int k = 0; k < kHold && done < steps; ++k) {
      x += (k % 80) < 40 ? 1 : -1;
      AppWindowProc(window, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(x, centre[1]));
      if (++done == kRound) early = Measure();
    }
    AppWindowProc(window, WM_LBUTTONUP, 0, ClientPoint(x, centre[1]));
  }
  const Figures late = Measure();
  Print("early", kRound, early);
  Print("late", done, late);
  DestroyWindow(window);
  const bool same = early.objects == late.objects && early.anonymousKiB == late.anonymousKiB;
  std::puts(same ? "soak: unchanged" : "soak: CHANGED");
  return same ? 0 : 1;
}
