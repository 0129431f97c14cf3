#pragma once
// Shown forms to drive, and input as the host reports it: each step is followed by the
// application's handling of the messages it leaves, as the message loop would.
#include <memory>
#include <string>

#include "Forms.h"
#include "HostWindows.h"
#include "PixelPicture.h"

// A bare form placed as designed at (left, top), shown and settled.
TForm* ShownBareForm(int left, int top, int width, int height);

// A fixture takes this as a second base beside ::testing::Test, so that its tests name the
// steps unqualified.
struct HostInput {
  // The modifier keys in mods go down first and up last, as a hand presses them.
  static void Key(int vk, const std::u16string& text = u"", unsigned mods = 0);
  // Each character as the key that types it on a US keyboard.
  static void Type(const std::u16string& text);
  // A pointer move over a point of a window: in window coordinates, so the frame can be
  // reached, or in client coordinates.
  static HostEvent PointerAt(HWND hwnd, int x, int y);
  static HostEvent ClientPointerAt(HWND hwnd, int x, int y);
  static void MoveTo(HWND hwnd, int x, int y);
  // A click at a point in window coordinates, or in client coordinates.
  static void Click(HWND hwnd, int x, int y, bool right = false);
  static void ClickClient(HWND hwnd, int x, int y);
  // A pixel as painted, in window coordinates (frame included) or client coordinates.
  static COLORREF WindowPixel(HWND hwnd, int x, int y);
  static COLORREF ClientPixel(HWND hwnd, int x, int y);
  // The window's pixels, frame included, as they are now.
  static std::unique_ptr<PixelCanvas> WindowPicture(HWND hwnd);

 private:
  static void PressAndRelease(HostEvent e, bool right);
};
