#include "Platform/InputGameView.h"

SPlatformGameView PlatformGameView(int32_t renderWidth, int32_t renderHeight) {
  SPlatformGameView view;
  if (renderWidth <= 0 || renderHeight <= 0) return view;
  int64_t width = renderWidth;
  int64_t height = renderHeight;
  if (height > width * 3 / 4) height = width * 3 / 4;
  if (height * 16 / 9 < width) width = height * 16 / 9;
  view.width = static_cast<int32_t>(width);
  view.height = static_cast<int32_t>(height);
  view.x = static_cast<int32_t>((renderWidth - width) / 2);
  view.y = static_cast<int32_t>((renderHeight - height) / 2);
  return view;
}
