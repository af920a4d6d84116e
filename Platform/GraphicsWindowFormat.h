#pragma once
// The pixel format every window of the game is created with. The graphics device draws the
// back buffer straight into the window when the window's framebuffer can hold it: 8 bits a
// channel with alpha, a 24-bit depth and 8-bit stencil buffer (the default depth-stencil
// format), one sample. All windows share it, so that any of the device's contexts can be made
// current on any of them.

// Sets the window attributes; call before creating a window (SDL video must be running).
void GfxRequestWindowFormat();
