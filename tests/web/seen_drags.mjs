// What a window without mouse capture sees of real drags, as drags for zantrel-render.
//
// Each real drag is: the pointer to (x0, y0) with the button up, press, the pointer to (x1, y1),
// release. Only events inside the size x size client area reach the window. A release outside
// leaves the window dragging, so the pointer coming back in moves the ball before the next press.
// zantrel-render replays press, one move and release per drag; a seen press followed by at most
// one seen move maps onto one such drag exactly (a release right before a press changes nothing,
// and an unseen move leaves the scene as the press found it).
export function seenDrags(drags, size) {
  const inside = (x, y) => x >= 0 && y >= 0 && x < size && y < size;
  const out = [];
  let pressed = null;  // the last seen press whose drag the window still believes in
  let moved = null;    // the one seen move after it
  const flush = () => {
    if (pressed) out.push([...pressed, ...(moved || pressed)]);
    pressed = moved = null;
  };
  const move = (x, y) => {
    if (pressed && !moved && inside(x, y)) moved = [x, y];
  };
  for (const [x0, y0, x1, y1] of drags) {
    move(x0, y0);
    if (inside(x0, y0)) {
      flush();
      pressed = [x0, y0];
    }
    move(x1, y1);
    if (inside(x1, y1)) flush();  // the release is seen: the drag ends here
  }
  flush();
  return out;
}
