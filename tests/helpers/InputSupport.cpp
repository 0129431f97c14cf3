#include "InputSupport.h"

#include <utility>

#include "UserDriver.h"

TForm* ShownBareForm(int left, int top, int width, int height) {
  TForm* form = CreateBareForm<TForm>(Application);
  form->SetPosition(poDesigned);
  form->SetBounds(left, top, width, height);
  form->Show();
  Application->ProcessMessages();
  return form;
}

void HostInput::Key(int vk, const std::u16string& text, unsigned mods) {
  const std::pair<unsigned, int> modifierKeys[] = {
      {kHostShift, VK_SHIFT}, {kHostControl, VK_CONTROL}, {kHostAlt, VK_MENU}};
  HostEvent e;
  unsigned held = 0;
  for (auto [bit, key] : modifierKeys) {
    if (!(mods & bit)) continue;
    held |= bit;
    e.type = HostEventType::KeyDown;
    e.vk = key;
    e.modifiers = held;
    UserHandleHostEvent(e);
  }
  e.type = HostEventType::KeyDown;
  e.vk = vk;
  e.text = text;
  e.modifiers = mods;
  UserHandleHostEvent(e);
  e.type = HostEventType::KeyUp;
  e.text.clear();
  UserHandleHostEvent(e);
  for (auto [bit, key] : modifierKeys) {
    if (!(mods & bit)) continue;
    held &= ~bit;
    e.type = HostEventType::KeyUp;
    e.vk = key;
    e.modifiers = held;
    UserHandleHostEvent(e);
  }
  Application->ProcessMessages();
}

void HostInput::Type(const std::u16string& text) {
  // Punctuation never passes as a cursor key ('.' is VK_DELETE's code).
  for (char16_t c : text) {
    int vk = 0xBA;  // an OEM key
    if (c >= u'a' && c <= u'z') vk = c - u'a' + 'A';
    if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u' ') vk = c;
    if (c == u'(') vk = '9';
    if (c == u')') vk = '0';
    if (c == u'+') vk = 0xBB;
    if (c == u',') vk = 0xBC;
    if (c == u'-') vk = 0xBD;
    if (c == u'.') vk = 0xBE;
    Key(vk, std::u16string(1, c));
  }
}

namespace {

HostEvent PointerAtScreen(HWND hwnd, POINT screen) {
  HostEvent e;
  e.surface = HostSurfaceId(GetAncestor(hwnd, GA_ROOT));
  e.pt = screen;
  e.type = HostEventType::MouseMove;
  return e;
}

}  // namespace

HostEvent HostInput::PointerAt(HWND hwnd, int x, int y) {
  RECT w;
  GetWindowRect(hwnd, &w);
  return PointerAtScreen(hwnd, POINT{w.left + x, w.top + y});
}

HostEvent HostInput::ClientPointerAt(HWND hwnd, int x, int y) {
  POINT p{x, y};
  ClientToScreen(hwnd, &p);
  return PointerAtScreen(hwnd, p);
}

void HostInput::MoveTo(HWND hwnd, int x, int y) {
  UserHandleHostEvent(PointerAt(hwnd, x, y));
  Application->ProcessMessages();
}

void HostInput::PressAndRelease(HostEvent e, bool right) {
  UserHandleHostEvent(e);
  const unsigned button = right ? kHostRightButton : kHostLeftButton;
  e.type = HostEventType::MouseDown;
  e.button = int(button);
  e.buttons = button;
  UserHandleHostEvent(e);
  Application->ProcessMessages();
  e.type = HostEventType::MouseUp;
  e.buttons = 0;
  UserHandleHostEvent(e);
  Application->ProcessMessages();
}

void HostInput::Click(HWND hwnd, int x, int y, bool right) {
  PressAndRelease(PointerAt(hwnd, x, y), right);
}

void HostInput::ClickClient(HWND hwnd, int x, int y) {
  PressAndRelease(ClientPointerAt(hwnd, x, y), false);
}

COLORREF HostInput::WindowPixel(HWND hwnd, int x, int y) {
  HDC dc = GetWindowDC(hwnd);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return c;
}

COLORREF HostInput::ClientPixel(HWND hwnd, int x, int y) {
  HDC dc = GetDC(hwnd);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return c;
}

std::unique_ptr<PixelCanvas> HostInput::WindowPicture(HWND hwnd) {
  RECT w;
  GetWindowRect(hwnd, &w);
  auto picture = std::make_unique<PixelCanvas>(w.right - w.left, w.bottom - w.top);
  HDC dc = GetWindowDC(hwnd);
  BitBlt(picture->dc(), 0, 0, picture->width(), picture->height(), dc, 0, 0, SRCCOPY);
  ReleaseDC(hwnd, dc);
  return picture;
}
