#include "Platform/InputGameView.h"

#include <cmath>

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

SPlatformGameView PlatformPictureView(int32_t renderWidth, int32_t renderHeight, float pictureAspect) {
  const SPlatformGameView clamped = PlatformGameView(renderWidth, renderHeight);
  if (!(pictureAspect > 0.0f) || clamped.height <= 0) return clamped;
  const double aspect = pictureAspect;
  if (std::fabs(double(clamped.width) - double(clamped.height) * aspect) < 1.0) return clamped;
  SPlatformGameView view;
  view.width = renderWidth;
  view.height = renderHeight;
  if (double(renderWidth) > double(renderHeight) * aspect) {
    view.width = static_cast<int32_t>(std::lround(double(renderHeight) * aspect));
  } else {
    view.height = static_cast<int32_t>(std::lround(double(renderWidth) / aspect));
  }
  view.x = (renderWidth - view.width) / 2;
  view.y = (renderHeight - view.height) / 2;
  return view;
}
