#pragma once
// Whether the player is in the game: the window has the focus and is not minimised. The window
// code sets it as focus comes and goes; the music goes quiet while it is false. Safe to read
// from any thread.

void SetApplicationActive(bool active);
bool IsApplicationActive();
