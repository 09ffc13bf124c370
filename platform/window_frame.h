// The frame around the client area of a window with a caption and no sizing border, in the
// metrics of classic Windows that Wine keeps too: 3 pixels of fixed frame on every side
// (SM_CXFIXEDFRAME, SM_CYFIXEDFRAME) and the 19-pixel caption (SM_CYCAPTION) above the client
// area. The native user32 takes it off a window's outer size; the app adds it to its picture's.
#pragma once

inline constexpr int kFixedFrame = 3;
inline constexpr int kCaptionHeight = 19;
inline constexpr int kCaptionFrameWidth = 2 * kFixedFrame;
inline constexpr int kCaptionFrameHeight = kCaptionHeight + 2 * kFixedFrame;
