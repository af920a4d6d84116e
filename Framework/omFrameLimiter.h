#pragma once
// The frame limiter: frames of at least a given length, without burning a core meanwhile.

namespace Ombrel {

// Waits until `limit` seconds of engine time have passed since `frameStart`. No wait when the
// limit is 0 or less, or when the engine clock went back (a state switch restarts it). The
// remaining time is measured once and then waited out on the system's monotonic clock:
// asleep for the bulk, spinning only for the last stretch, so a frame ends on time without
// the wait holding a core, and an engine clock that stands still cannot hold the loop.
void WaitForFrameEnd(float frameStart, float limit);

}  // namespace Ombrel
