// The native user32 over its window-system backends: which one a program gets, what happens when
// the display cannot be used, and that each window stays with the backend it was made on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/native/user/backend.h"
#include "platform/win32.h"

namespace {

namespace user = zantrel::user;

const user::Backend& Chosen(const char* asked) {  // ZANTREL_BACKEND, null for unset
  if (asked) setenv("ZANTREL_BACKEND", asked, 1);
  else unsetenv("ZANTREL_BACKEND");
  const user::Backend& chosen = user::ChosenBackend();
  unsetenv("ZANTREL_BACKEND");
  return chosen;
}

TEST(BackendChoice, OnlyTheWindowShowingBackendIsTheDefaultAndOthersMustBeNamed) {
  const char* shown = user::WindowSystemBackend().name;  // sdl2, or web in a browser
  const std::pair<const char*, const char*> cases[] = {
      {nullptr, shown},       {"", shown},           {shown, shown}, {"headless", "headless"},
      {"Headless", "unknown"}, {"headless ", "unknown"}, {"x11", "unknown"}};
  for (auto [asked, name] : cases) EXPECT_STREQ(Chosen(asked).name, name) << (asked ? asked : "(unset)");
}

std::string g_calls;  // of the recording backend, and the messages its windows were sent

const user::Backend kRecording{
    "recording", []() -> const char* { return nullptr; },
    [](const char*, int, int) -> void* { return &(g_calls += "create "); },
    [](void*) { g_calls += "show "; }, [](void*) { g_calls += "destroy "; },
    [](void*, const std::uint8_t*, int, int) { g_calls += "present "; },
    [](user::BackendEvent*) { return false; }};

TEST(WindowSystem, EachWindowStaysWithItsBackendAndAnUnusableDisplaySaysWhyOnce) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_calls += std::to_string(message) + " ";
    return DefWindowProcA(window, message, wParam, lParam);
  };
  windowClass.lpszClassName = "Recorded";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  auto create = [] {
    return CreateWindowExA(0, "Recorded", "", WS_CAPTION, 0, 0, 60, 60, nullptr, nullptr, nullptr, nullptr);
  };
  user::UseBackend(kRecording);
  HWND window = create();
  ASSERT_NE(window, nullptr);
  const user::Backend& unknown = Chosen("x11");
  user::UseBackend(unknown);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(create(), nullptr);
  EXPECT_EQ(create(), nullptr);  // trying again does not repeat the reason
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), std::string("zantrel: ") + unknown.open() + "\n");
  EXPECT_EQ(unknown.open(), "ZANTREL_BACKEND=x11 names no window system (known: " +
                                std::string(user::WindowSystemBackend().name) + ", headless).");
  ShowWindow(window, SW_SHOW);
  ReleaseDC(window, GetDC(window));
  DestroyWindow(window);
  MSG msg{};
  EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));  // no window left: the loop ends at once
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(g_calls, "create 1 24 show present 2 destroy ");  // WM_CREATE 1, WM_SHOWWINDOW 24, WM_DESTROY 2
}

}  // namespace
