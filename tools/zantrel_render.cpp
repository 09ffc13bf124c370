// zantrel-render: runs the application's own scene and window procedure without a screen.
//
//   zantrel-render [--drag PX0,PY0,PX1,PY1]... [--out FILE] [--segments]  (--help says more)
//
// Each --drag is a left-button press at client (PX0, PY0), one move to (PX1, PY1) and a release,
// delivered to AppWindowProc in order. Coordinates run from -32768 to 65535 and are packed into
// lParam as 16-bit words, as Windows packs a point left or above the client area during capture.
// --out writes the final frame as a 32-bit bitmap file; --segments prints every line of the final
// frame and its field evaluation count.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "contour/contour_trace.h"
#include "tools/bitmap_writer.h"
#include "platform/program_options.h"

namespace {

struct Drag {
  int x0, y0, x1, y1;
};

constexpr ProgramOption kOptions[] = {
    {"--drag PX0,PY0,PX1,PY1",
     "press at client (PX0, PY0), move to (PX1, PY1), release; repeatable"},
    {"--out FILE", "write the final frame (the whole client area) as a 32-bit bitmap file"},
    {"--segments", "print every line of the final frame and the count of field evaluations"},
};
constexpr ProgramInfo kProgram{
    "zantrel-render", "[--drag PX0,PY0,PX1,PY1]... [--out FILE] [--segments]",
    "Runs the application's scene and window procedure without a screen: the first frame, then\n"
    "each drag in order. Coordinates are client pixels from -32768 to 65535.",
    kOptions};

bool InWordRange(int v) { return v >= -0x8000 && v <= 0xFFFF; }

bool ParseDrag(const char* text, Drag& drag) {
  char tail = 0;
  return std::sscanf(text, "%d,%d,%d,%d%c", &drag.x0, &drag.y0, &drag.x1, &drag.y1, &tail) == 4 &&
         InWordRange(drag.x0) && InWordRange(drag.y0) && InWordRange(drag.x1) &&
         InWordRange(drag.y1);
}

LPARAM ClientPoint(int x, int y) {
  const DWORD low = static_cast<DWORD>(x) & 0xFFFF;
  const DWORD high = static_cast<DWORD>(y) & 0xFFFF;
  return static_cast<LPARAM>(low | (high << 16));
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<Drag> drags;
  const char* out = nullptr;
  bool segments = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (const std::optional<int> status = AnswerStandardOption(kProgram, argument)) return *status;
    const bool takesValue = argument == "--drag" || argument == "--out";
    if (takesValue && i + 1 == argc) {
      return RejectArgument(kProgram, argument,
                            argument == "--drag" ? "needs PX0,PY0,PX1,PY1" : "needs a FILE");
    }
    if (argument == "--drag") {
      Drag drag{};
      if (!ParseDrag(argv[++i], drag)) {
        return RejectArgument(kProgram, std::string("--drag ") + argv[i],
                              "expected four whole numbers PX0,PY0,PX1,PY1, each from -32768 to 65535");
      }
      drags.push_back(drag);
    } else if (argument == "--out") {
      out = argv[++i];
    } else if (argument == "--segments") {
      segments = true;
    } else {
      return RejectUnexpectedArgument(kProgram, argument, "unexpected argument");
    }
  }

  // The same start-up as the app, on a window that is never shown.
  RegisterAppClass(nullptr);
  HWND window = CreateAppWindow(nullptr);
  BuildScene(g_balls);
  CreateSurface(g_surface);
  DrawFrame(window);
  for (const Drag& d : drags) {
    AppWindowProc(window, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(d.x0, d.y0));
    AppWindowProc(window, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(d.x1, d.y1));
    AppWindowProc(window, WM_LBUTTONUP, 0, ClientPoint(d.x1, d.y1));
  }

  if (out && !WriteBitmapFile(out, g_surface.pixels, g_surface.width, g_surface.height)) {
    std::fprintf(stderr, "zantrel-render: cannot write %s\n", out);
    return 1;
  }
  if (segments) {
    // The final frame traced once more with recorders: the scene is unchanged since it was drawn,
    // so these are exactly its lines and evaluations.
    CountingField<BallField> field{g_balls, {}};
    RecordingCanvas canvas;
    TraceContour(field, kFrameCells, kFrameSize, kFrameSize, kFrameThreshold, canvas);
    for (const TracedSegment& s : canvas.segments) std::printf("%d %d %d %d\n", s.x0, s.y0, s.x1, s.y1);
    std::printf("segments %lu evaluations %lu\n", static_cast<unsigned long>(canvas.segments.size()),
                static_cast<unsigned long>(field.evaluations.size()));
  }
  if (!out && !segments) {
    std::printf("zantrel-render: drew the first frame and %lu drag(s), wrote nothing; --out FILE\n"
                "writes the final frame, --segments lists its lines (--help describes every option)\n",
                static_cast<unsigned long>(drags.size()));
  }
  if (window) DestroyWindow(window);
  return 0;
}
