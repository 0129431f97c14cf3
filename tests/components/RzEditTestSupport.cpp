#include "RzEditTestSupport.h"


void RzEditTest::SetUp() {
  UserResetForTesting();
  inner_ = UserGetHostDriver();
  host_ = std::make_unique<BeepCountingHost>(inner_);
  UserSetHostDriver(host_.get());
  RegisterClassLibrary();
  RegisterRzEditClasses();
  savedSettings_ = FormatSettings;
  FormatSettings.DecimalSeparator = u'.';
  FormatSettings.ThousandSeparator = u',';
  savedThemes_ = ThemeServices()->ThemesEnabled();
}

void RzEditTest::TearDown() {
  ResetApplicationForTesting();
  UserResetForTesting();
  UserSetHostDriver(inner_);
  FormatSettings = savedSettings_;
  SetThemesEnabledForTesting(savedThemes_);
}

TForm* RzEditTest::BareForm() {
  TForm* form = CreateBareForm<TForm>(Application);
  form->SetPosition(poDesigned);
  form->SetBounds(10, 10, 320, 240);
  form->Show();
  Application->ProcessMessages();
  return form;
}

void RzEditTest::Key(int vk, const std::u16string& text, unsigned mods) {
  // The modifier keys go down first and up last, as a hand presses them.
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

void RzEditTest::Type(const std::u16string& text) {
  // The key of each character on a US keyboard; punctuation never passes as a cursor key.
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

HostEvent PointerAt(HWND hwnd, int x, int y) {
  RECT w;
  GetWindowRect(hwnd, &w);
  HostEvent e;
  e.surface = HostSurfaceId(GetAncestor(hwnd, GA_ROOT));
  e.pt = POINT{w.left + x, w.top + y};
  e.type = HostEventType::MouseMove;
  return e;
}

}  // namespace

void RzEditTest::MoveTo(HWND hwnd, int x, int y) {
  UserHandleHostEvent(PointerAt(hwnd, x, y));
  Application->ProcessMessages();
}

void RzEditTest::Click(HWND hwnd, int x, int y, bool right) {
  HostEvent e = PointerAt(hwnd, x, y);
  UserHandleHostEvent(e);
  unsigned button = right ? kHostRightButton : kHostLeftButton;
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

COLORREF RzEditTest::WindowPixel(HWND hwnd, int x, int y) {
  HDC dc = GetWindowDC(hwnd);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return c;
}

std::unique_ptr<PixelCanvas> RzEditTest::WindowPicture(HWND hwnd) {
  RECT w;
  GetWindowRect(hwnd, &w);
  auto picture = std::make_unique<PixelCanvas>(w.right - w.left, w.bottom - w.top);
  HDC dc = GetWindowDC(hwnd);
  BitBlt(picture->dc(), 0, 0, picture->width(), picture->height(), dc, 0, 0, SRCCOPY);
  ReleaseDC(hwnd, dc);
  return picture;
}
