// The native user32 over its window-system backends: which one a program gets, what happens
// when the display cannot be opened, and that each window stays with the backend it was made on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/native/user/backend.h"
#include "platform/win32.h"

namespace {

using zantrel::user::Backend;
using zantrel::user::BackendEvent;

TEST(BackendChoice, OnlyTheWindowShowingBackendIsTheDefaultAndOthersMustBeNamed) {
  struct Case {
    const char* asked;  // ZANTREL_BACKEND, null for unset
    const char* name;   // the backend given
  };
  const char* shown = zantrel::user::WindowSystemBackend().name;  // sdl2, or web in a browser
  const Case cases[] = {
      {nullptr, shown}, {"", shown}, {shown, shown}, {"headless", "headless"},
      {"Headless", "unknown"}, {"headless ", "unknown"}, {"x11", "unknown"},
  };
  for (const Case& c : cases) {
    if (c.asked) setenv("ZANTREL_BACKEND", c.asked, 1);
    else unsetenv("ZANTREL_BACKEND");
    const Backend& chosen = zantrel::user::ChosenBackend();
    EXPECT_STREQ(chosen.name, c.name) << "ZANTREL_BACKEND=" << (c.asked ? c.asked : "(unset)");
    if (std::string(c.name) != "unknown") continue;
    // An unknown name refuses windows, naming what was asked and what there is.
    ASSERT_NE(chosen.open(), nullptr);
    const std::string refusal = chosen.open();
    EXPECT_NE(refusal.find(std::string("ZANTREL_BACKEND=") + c.asked + " "), std::string::npos)
        << refusal;
    EXPECT_NE(refusal.find(std::string(shown) + ", headless"), std::string::npos) << refusal;
    EXPECT_EQ(chosen.createWindow("t", 1, 1), nullptr);
  }
  unsetenv("ZANTREL_BACKEND");
}

// A backend that records what user32 asks of it; `refusal` non-null makes its display unusable.
struct Recorder {
  const char* refusal = nullptr;
  std::vector<std::string> calls;
};
Recorder g_first, g_second;

template <Recorder& R>
const Backend& RecordingBackend() {
  static const Backend backend{
      "recording",
      [] { return R.refusal; },
      [](const char*, int, int) -> void* {
        R.calls.push_back("create");
        return &R;
      },
      [](void*) { R.calls.push_back("show"); },
      [](void*) { R.calls.push_back("destroy"); },
      [](void*, const std::uint8_t*, int, int) { R.calls.push_back("present"); },
      [](BackendEvent*) {
        R.calls.push_back("wait");
        return false;
      }};
  return backend;
}

std::vector<UINT> g_messages;
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  g_messages.push_back(message);
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow() {
  return CreateWindowExA(0, "Recorded", "recorded", WS_CAPTION, CW_USEDEFAULT, CW_USEDEFAULT, 60,
                         60, nullptr, nullptr, nullptr, nullptr);
}

class WindowSystem : public ::testing::Test {
 protected:
  void SetUp() override {
    static const bool registered = [] {
      WNDCLASSA windowClass{};
      windowClass.lpfnWndProc = RecordingProc;
      windowClass.lpszClassName = "Recorded";
      return RegisterClassA(&windowClass) != 0;
    }();
    ASSERT_TRUE(registered);
    g_first = {};
    g_second = {};
    g_messages.clear();
  }
};

TEST_F(WindowSystem, AnUnusableDisplayFailsCreationSayingWhyOnceAndSendsNothing) {
  g_first.refusal = "display \"nowhere\" cannot be opened.";
  zantrel::user::UseBackend(RecordingBackend<g_first>());
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(MakeWindow(), nullptr);
  EXPECT_EQ(MakeWindow(), nullptr);  // trying again does not repeat the reason
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "zantrel: display \"nowhere\" cannot be opened.\n");
  EXPECT_TRUE(g_first.calls.empty());
  EXPECT_TRUE(g_messages.empty());
  // With no window, a message loop ends at once instead of waiting.
  MSG msg{};
  EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(WindowSystem, EachWindowStaysWithTheBackendItWasMadeOn) {
  zantrel::user::UseBackend(RecordingBackend<g_first>());
  HWND window = MakeWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(g_messages, std::vector<UINT>{WM_CREATE});
  g_second.refusal = "display \"later\" cannot be opened.";
  zantrel::user::UseBackend(RecordingBackend<g_second>());
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(MakeWindow(), nullptr);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "zantrel: display \"later\" cannot be opened.\n");
  ShowWindow(window, SW_SHOW);
  ReleaseDC(window, GetDC(window));
  DestroyWindow(window);
  EXPECT_EQ(g_first.calls, (std::vector<std::string>{"create", "show", "present", "destroy"}));
  EXPECT_TRUE(g_second.calls.empty());
  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0)) DispatchMessageA(&msg);  // WM_DESTROY's quit
}

}  // namespace
