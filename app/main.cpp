// Zantrel: drag the three balls of a metaball field with the left mouse button.
#include <optional>
#include <string>

#include "app/app.h"
#include "platform/program_options.h"

namespace {

constexpr ProgramInfo kProgram{
    "zantrel", "[--help | --version]",
    "Opens a window with the contour of three metaballs. Drag a ball with the left mouse button;\n"
    "Q or closing the window quits. Any other argument is ignored.",
    {}};

// --help and --version answer and end, wherever they stand. Anything else is ignored: a launcher,
// a file manager or a shortcut that passes an argument must not keep the demo from starting.
std::optional<int> AnswerCommandLine(const char* commandLine) {
  for (const std::string& word : SplitCommandLine(commandLine)) {
    if (const std::optional<int> status = AnswerStandardOption(kProgram, word)) return status;
  }
  return std::nullopt;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  if (const std::optional<int> status = AnswerCommandLine(commandLine)) return *status;
  if (!RegisterAppClass(instance)) return 0;
  HWND window = CreateAppWindow(instance);
  // Without a window no input can ever come: a message loop would wait forever.
  if (!window) return 0;
  BuildScene(g_balls);
  CreateSurface(g_surface);
  ShowWindow(window, showCommand);
  UpdateWindow(window);  // its WM_PAINT shows the still black surface
  DrawFrame(window);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0)) {
    if (!TranslateAcceleratorA(msg.hwnd, nullptr, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return 0;
}
