#pragma once
// What the main menu asks of each box it shows over the title screen (profiles, language,
// options, mode, questions, extras, help): opened into its opening fade, then given the input
// and the frame, ReadInput before Update, until its state word is back at closed.

#include "Quor/CMemWatch.h"

#include <cstdint>

namespace Vey {

class IMenuBox : public CMemWatch {
 public:
  // A box that shows a nested box adds states of its own past these.
  enum EState : int32_t { kClosed = 0, kOpening = 1, kClosing = 2, kOpen = 3 };

  virtual void Open() = 0;
  virtual void ReadInput() = 0;
  // Runs the box's fades and widgets; the closing fade ends with the state word at kClosed.
  virtual void Update(float dt) = 0;
  // How much of the box shows, 0..1.
  virtual float GetAlpha() const = 0;
  // The running fade's timer 0..1, for an owner that cross-fades itself against this box.
  virtual float GetFadeTime() const { return 0.0f; }

  int32_t state = kClosed;
};

// The yes/no box: asked one of the menu's questions, it tells after closing which was asked
// and whether the player said yes. A kind past these asks with yes and no alone.
class IMenuQuestion : public IMenuBox {
 public:
  enum EKind : int32_t { kDeleteProfileQuestion = 0, kExitQuestion = 1, kPlayAgainQuestion = 2 };

  void Open() override { Ask(kExitQuestion); }
  virtual void Ask(int32_t kind) = 0;
  virtual int32_t GetKind() const = 0;
  virtual bool WasYes() const = 0;
};

// The notice box with its one OK button, which the menu's boxes show over themselves: that a
// profile of a name exists already (the name shown with it), that the wallpaper was set, or,
// where the desktop could not set it, where the wallpaper's picture was saved.
class IMenuNotice : public IMenuBox {
 public:
  enum EKind : int32_t { kProfileExists = 0, kWallpaperSet = 1, kWallpaperSaved = 2 };

  void Open() override { Tell(kWallpaperSet); }
  virtual void Tell(int32_t kind) = 0;
  // The name the profile notice shows; set before telling it.
  virtual void SetProfileName(const char* name) = 0;
  // The file the saved-wallpaper notice names; set before telling it.
  virtual void SetSavedPath(const char* path) = 0;
};

}  // namespace Vey
