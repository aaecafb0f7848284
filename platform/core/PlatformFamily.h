#pragma once
// Which family of the platform the program behaves as: the Windows NT family (the default) or the older
// Windows 9x family, whose text records are re-recorded one character at a time. Tests switch it.

namespace tess {

enum class TPlatformFamily { WindowsNT, Windows9x };

TPlatformFamily PlatformFamily();
void SetPlatformFamily(TPlatformFamily family);
inline bool IsWindowsNT() {
  return PlatformFamily() == TPlatformFamily::WindowsNT;
}

}  // namespace tess
