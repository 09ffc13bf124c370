// Makes every later window creation of this thread fail, as a window system without a usable
// display does. One definition per build: the native layer's backend hook, or a Win32 hook.
#pragma once

void RefuseWindows();
