#pragma once
// The player's desktop: the folder where the user keeps pictures, and the desktop's wallpaper,
// which the game asks the desktop portal to change. A portal shows the new wallpaper itself;
// without one the game can only leave the picture where the player finds it.

#include <memory>
#include <string>

// The user's pictures folder as the XDG user directories name it, the home folder when none is
// set up; without a trailing slash.
std::string PlatformPicturesFolder();

class IWallpaperPortal {
 public:
  enum EAnswer { kSet, kNoPortal, kRefused };

  virtual ~IWallpaperPortal() = default;
  // Asks the desktop to show the picture file (an absolute path) as its wallpaper. kSet only
  // when the desktop said it did; `detail` tells why not otherwise.
  virtual EAnswer SetWallpaper(const std::string& path, std::string* detail) = 0;
};

// The desktop portal on the session bus, its wallpaper interface.
std::unique_ptr<IWallpaperPortal> PlatformCreateWallpaperPortal();
