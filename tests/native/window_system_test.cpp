// The native user32 over its window-system backends: which one a program gets, and the refusal of
// a display that cannot be used.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/native/user/backend.h"
#include "platform/win32.h"

namespace {

namespace user = zantrel::user;

TEST(BackendChoice, OnlyTheWindowShowingBackendIsTheDefaultAndOthersMustBeNamed) {
  const char* shown = user::WindowSystemBackend().name;  // sdl2, or web in a browser
  const std::pair<const char*, const char*> cases[] = {
      {nullptr, shown},       {"", shown},           {shown, shown}, {"headless", "headless"},
      {"Headless", "unknown"}, {"headless ", "unknown"}, {"x11", "unknown"}};
  for (auto [asked, name] : cases) {
    asked ? setenv("ZANTREL_BACKEND", asked, 1) : unsetenv("ZANTREL_BACKEND");
    EXPECT_STREQ(user::ChosenBackend().name, name) << (asked ? asked : "unset");
  }
}

TEST(WindowSystem, AnUnusableDisplayFailsCreationSayingWhyOnce) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "Refused";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  const auto create = [] { return CreateWindowExA(0, "Refused", "", 0, 0, 0, 9, 9, 0, 0, 0, 0); };
  user::UseBackend(user::HeadlessBackend());
  EXPECT_TRUE(DestroyWindow(create()));  // made and gone: no reason to wait for it
  setenv("ZANTREL_BACKEND", "x11", 1);
  user::UseBackend(user::ChosenBackend());
  unsetenv("ZANTREL_BACKEND");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(create(), nullptr);
  EXPECT_EQ(create(), nullptr);  // trying again does not repeat the reason
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "zantrel: ZANTREL_BACKEND=x11 names no window system (known: " +
                std::string(user::WindowSystemBackend().name) + ", headless).\n");
  MSG msg{};
  EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));  // no window: the loop ends at once
  EXPECT_EQ(msg.message, UINT(WM_QUIT));
}

}  // namespace
