#pragma once
// Where the loading screen and the device meet, so that neither includes the other. The loading
// screen draws from its own thread, in a GL context of its own, inside device frames; the
// device holds the loading screen still while it recovers, switches mode or moves the window.

class CCriticalSection;

// ---- what the loading screen asks of the device (QuordxDevice.cpp)

// Makes sure a usable device exists before anything is drawn: waits while drawing is
// suspended, creates the device on the first call and brings a lost one back. Does nothing on
// any thread but the main thread, and nothing once the program is quitting.
void ServiceFrame();
// Starts a frame: the device made usable, the render area clamped and centred, the back
// buffer cleared black, the frame's default states set. False when nothing can be drawn.
bool BeginDeviceFrame();
// Ends the scene; captures the frame when the test driver lists it; presents.
void EndFrame();

// A GL context for another thread, shared with the main one. It is a device resource: it goes
// away before the device is reset and comes back after, each time under the given lock, so the
// other thread sees a whole context or none. Made and destroyed on the main thread.
class CDeviceThreadContext;
CDeviceThreadContext* CreateDeviceThreadContext(CCriticalSection& guard);
void DestroyDeviceThreadContext(CDeviceThreadContext* context);
// On the other thread, holding the lock: the context made current for one frame (false when
// there is none), and let go of after it.
bool MakeDeviceThreadContextCurrent(CDeviceThreadContext* context);
void ReleaseDeviceThreadContext(CDeviceThreadContext* context);

// ---- what the device asks of the loading screen (CLoadScreen.cpp)

// Stops the current screen's thread and deletes the screen; no screen is current after.
void HideLoadScreen();

// Locks the current screen for the scope unless it is locked already; unlocks what it locked.
class CLoadScreenLockScope {
 public:
  CLoadScreenLockScope();
  ~CLoadScreenLockScope();
  CLoadScreenLockScope(const CLoadScreenLockScope&) = delete;
  CLoadScreenLockScope& operator=(const CLoadScreenLockScope&) = delete;

 private:
  bool m_lockedHere;
};
