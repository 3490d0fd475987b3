// A fixed text the view shows in white at a pixel position, as the paint's
// failure messages are drawn.
#pragma once

namespace tarvo {

struct ScreenText {
  int x;  // pixels, left edge of the text cell
  int y;  // pixels, top edge of the text cell
  const char* text;
};

}  // namespace tarvo
