// The combo box: the item messages, the edit field and the static field, typing, the list
// popup opened, navigated and closed by mouse and keys (never taking activation or focus),
// its scroll bar, notifications in order, colours asked of the parent, and both looks.
#include "SystemControls.h"
#include "Themes.h"
#include "UserTestSupport.h"

namespace {

constexpr int kId = 12;
using Log = std::vector<std::string>;

std::string CodeName(WORD code) {
  switch (code) {
    case CBN_SELCHANGE: return "SELCHANGE";
    case CBN_DBLCLK: return "DBLCLK";
    case CBN_SETFOCUS: return "SETFOCUS";
    case CBN_KILLFOCUS: return "KILLFOCUS";
    case CBN_EDITCHANGE: return "EDITCHANGE";
    case CBN_EDITUPDATE: return "EDITUPDATE";
    case CBN_DROPDOWN: return "DROPDOWN";
    case CBN_CLOSEUP: return "CLOSEUP";
    case CBN_SELENDOK: return "SELENDOK";
    case CBN_SELENDCANCEL: return "SELENDCANCEL";
    default: return std::to_string(code);
  }
}

class ComboBoxControlTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    themed = IsThemeActive() != FALSE;
    RegisterTestClass(u"Main", 0, HBRUSH(COLOR_BTNFACE + 1),
                      [this](HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT*) {
                        if (msg == WM_COMMAND && HWND(lp) == combo && LOWORD(wp) == kId) {
                          log.push_back(CodeName(HIWORD(wp)));
                          if (HIWORD(wp) == CBN_SELCHANGE)
                            selAtChange = int(SendMessageW(combo, CB_GETCURSEL, 0, 0));
                        }
                        if (msg == WM_CTLCOLOREDIT) colorAsks.push_back(HWND(lp));
                        return false;
                      });
    main = CreateWindowExW(0, u"Main", u"", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, 0, 0, 0,
                           nullptr);
    other = CreateWindowExW(0, u"BUTTON", u"Other", WS_CHILD | WS_VISIBLE, 200, 150, 80, 24, main,
                            HMENU(3), 0, nullptr);
  }
  void TearDown() override {
    SetThemesEnabledForTesting(themed);
    UserTest::TearDown();
  }

  HWND Make(DWORD type, std::initializer_list<const char16_t*> items = {u"Apple", u"Banana",
                                                                        u"Cherry", u"Date"}) {
    combo = CreateWindowExW(0, u"COMBOBOX", u"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | type, 10, 10,
                            150, 200, main, HMENU(kId), 0, nullptr);
    for (const char16_t* s : items) SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(s));
    COMBOBOXINFO info;
    GetComboBoxInfo(combo, &info);
    edit = info.hwndItem;
    list = info.hwndList;
    PumpMessages();
    log.clear();
    return combo;
  }
  int Sel() const { return int(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }
  bool Dropped() const { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }
  String Text(HWND w) const {
    WCHAR buf[128] = {};
    GetWindowTextW(w, buf, 128);
    return buf;
  }
  POINT ButtonPoint() const {
    COMBOBOXINFO info;
    GetComboBoxInfo(combo, &info);
    POINT p{(info.rcButton.left + info.rcButton.right) / 2,
            (info.rcButton.top + info.rcButton.bottom) / 2};
    ClientToScreen(combo, &p);
    return p;
  }
  POINT RowPoint(int index) const {
    RECT r;
    SendMessageW(list, LB_GETITEMRECT, WPARAM(index), LPARAM(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(list, &p);
    return p;
  }
  void ClickAt(HWND surface, POINT p) {
    host.Mouse(HostEventType::MouseMove, surface, p);
    host.Mouse(HostEventType::MouseDown, surface, p, kHostLeftButton, kHostLeftButton);
    host.Mouse(HostEventType::MouseUp, surface, p, kHostLeftButton, 0);
    PumpMessages();
  }
  void Key(int vk, unsigned mods = 0, const std::u16string& text = u"") {
    if (mods & kHostAlt) host.Key(HostEventType::KeyDown, VK_MENU, u"", kHostAlt);
    host.Key(HostEventType::KeyDown, vk, text, mods);
    host.Key(HostEventType::KeyUp, vk, u"", mods);
    if (mods & kHostAlt) host.Key(HostEventType::KeyUp, VK_MENU, u"", 0);
    PumpMessages();
  }
  void Type(const std::u16string& s) {
    for (char16_t c : s) {
      int vk = c >= u'a' && c <= u'z' ? c - u'a' + 'A' : c;
      host.Key(HostEventType::KeyDown, vk, std::u16string(1, c));
      host.Key(HostEventType::KeyUp, vk);
    }
    PumpMessages();
  }

  bool themed = true;
  HWND main = 0, other = 0, combo = 0, edit = 0, list = 0;
  Log log;
  int selAtChange = -2;
  std::vector<HWND> colorAsks;
};

TEST_F(ComboBoxControlTest, ItemMessages) {
  Make(CBS_DROPDOWNLIST, {});
  EXPECT_EQ(SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(u"one")), 0);
  EXPECT_EQ(SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(u"two")), 1);
  EXPECT_EQ(SendMessageW(combo, CB_INSERTSTRING, 0, LPARAM(u"zero")), 0);
  EXPECT_EQ(SendMessageW(combo, CB_INSERTSTRING, WPARAM(-1), LPARAM(u"three")), 3);
  EXPECT_EQ(SendMessageW(combo, CB_INSERTSTRING, 9, LPARAM(u"x")), CB_ERR);
  EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 4);
  WCHAR buf[32];
  EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXT, 3, LPARAM(buf)), 5);
  EXPECT_EQ(String(buf), u"three");
  EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXTLEN, 0, 0), 4);
  EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXTLEN, 4, 0), CB_ERR);

  // Prefix and exact searches ignore case and start after the index given, wrapping.
  EXPECT_EQ(SendMessageW(combo, CB_FINDSTRING, WPARAM(-1), LPARAM(u"T")), 2);
  EXPECT_EQ(SendMessageW(combo, CB_FINDSTRING, 2, LPARAM(u"t")), 3);
  EXPECT_EQ(SendMessageW(combo, CB_FINDSTRING, 3, LPARAM(u"t")), 2);
  EXPECT_EQ(SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(u"TW")), CB_ERR);
  EXPECT_EQ(SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(u"TWO")), 2);

  // Selecting from code sends nothing.
  EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 2, 0), 2);
  EXPECT_EQ(Text(combo), u"two");
  EXPECT_EQ(SendMessageW(combo, CB_SELECTSTRING, WPARAM(-1), LPARAM(u"th")), 3);
  EXPECT_EQ(Sel(), 3);
  EXPECT_EQ(SendMessageW(combo, CB_SELECTSTRING, WPARAM(-1), LPARAM(u"q")), CB_ERR);
  EXPECT_EQ(Sel(), 3);
  EXPECT_TRUE(log.empty());

  EXPECT_EQ(SendMessageW(combo, CB_SETITEMDATA, 1, 0x1234), CB_OKAY);
  EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 1, 0), 0x1234);
  // Deleting before the selection moves it; deleting the selection clears it.
  EXPECT_EQ(SendMessageW(combo, CB_DELETESTRING, 0, 0), 3);
  EXPECT_EQ(Sel(), 2);
  EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 0, 0), 0x1234);
  SendMessageW(combo, CB_DELETESTRING, 2, 0);
  EXPECT_EQ(Sel(), -1);
  EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 7, 0), CB_ERR);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 0);

  // Sorted boxes insert in order.
  HWND sorted = CreateWindowExW(0, u"COMBOBOX", u"", WS_CHILD | CBS_DROPDOWNLIST | CBS_SORT, 0, 0,
                                100, 100, main, 0, 0, nullptr);
  for (const char16_t* s : {u"pear", u"Apple", u"fig"})
    SendMessageW(sorted, CB_ADDSTRING, 0, LPARAM(s));
  SendMessageW(sorted, CB_GETLBTEXT, 0, LPARAM(buf));
  EXPECT_EQ(String(buf), u"Apple");
  SendMessageW(sorted, CB_GETLBTEXT, 2, LPARAM(buf));
  EXPECT_EQ(String(buf), u"pear");
}

TEST_F(ComboBoxControlTest, FieldsAndTheirText) {
  Make(CBS_DROPDOWN);
  ASSERT_NE(edit, HWND(0));
  EXPECT_EQ(GetDlgCtrlID(edit), kComboEditId);
  EXPECT_EQ(GetParent(edit), combo);
  WCHAR cls[32];
  GetClassNameW(list, cls, 32);
  EXPECT_EQ(String(cls), u"ComboLBox");
  EXPECT_FALSE(IsWindowVisible(list));

  // The window keeps the field's height; the height asked for is the dropped one.
  RECT wr, dr;
  GetWindowRect(combo, &wr);
  EXPECT_LT(wr.bottom - wr.top, 40);
  EXPECT_GT(wr.bottom - wr.top, 15);
  SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, LPARAM(&dr));
  EXPECT_EQ(dr.bottom - dr.top, 200);
  MoveWindow(combo, 10, 10, 160, 300, TRUE);
  RECT after;
  GetWindowRect(combo, &after);
  EXPECT_EQ(after.bottom - after.top, wr.bottom - wr.top);
  EXPECT_EQ(after.right - after.left, 160);

  // WM_SETTEXT fills the edit and leaves the selection alone.
  SendMessageW(combo, CB_SETCURSEL, 1, 0);
  EXPECT_EQ(Text(edit), u"Banana");
  SetWindowTextW(combo, u"Cherry");
  EXPECT_EQ(Text(edit), u"Cherry");
  EXPECT_EQ(Text(combo), u"Cherry");
  EXPECT_EQ(Sel(), 1);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(SendMessageW(combo, CB_LIMITTEXT, 3, 0), TRUE);
  EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 3);

  HWND fixed = CreateWindowExW(0, u"COMBOBOX", u"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10,
                               60, 150, 200, main, HMENU(13), 0, nullptr);
  COMBOBOXINFO info;
  ASSERT_TRUE(GetComboBoxInfo(fixed, &info));
  EXPECT_EQ(info.hwndItem, HWND(0));
  SendMessageW(fixed, CB_ADDSTRING, 0, LPARAM(u"only"));
  EXPECT_EQ(SendMessageW(fixed, WM_SETTEXT, 0, LPARAM(u"only")), CB_ERR);
  EXPECT_EQ(Text(fixed), u"");
  SendMessageW(fixed, CB_SETCURSEL, 0, 0);
  EXPECT_EQ(Text(fixed), u"only");
  EXPECT_EQ(SendMessageW(fixed, CB_GETEDITSEL, 0, 0), CB_ERR);
}

TEST_F(ComboBoxControlTest, TypingNotifiesAndTracksTheSelection) {
  Make(CBS_DROPDOWN | CBS_AUTOHSCROLL);
  SetFocus(combo);
  EXPECT_EQ(GetFocus(), edit);  // the edit takes the focus for the box
  EXPECT_EQ(log, (Log{"SETFOCUS"}));
  log.clear();
  Type(u"b");
  EXPECT_EQ(log, (Log{"EDITUPDATE", "EDITCHANGE"}));
  EXPECT_EQ(Sel(), -1);
  Type(u"anana");
  EXPECT_EQ(Sel(), 1);  // the text is an item's now
  Type(u"s");
  EXPECT_EQ(Sel(), -1);  // and no longer
  EXPECT_EQ(Text(combo), u"bananas");

  // Up and Down in the closed box walk the items, filling the edit.
  log.clear();
  Key(VK_DOWN);
  EXPECT_EQ(Sel(), 0);
  EXPECT_EQ(Text(edit), u"Apple");
  Key(VK_DOWN);
  Key(VK_UP);
  Key(VK_UP);
  EXPECT_EQ(Sel(), 0);
  EXPECT_EQ(log, (Log{"SELCHANGE", "SELCHANGE", "SELCHANGE"}));
  DWORD s = 0, e = 0;
  SendMessageW(combo, CB_GETEDITSEL, WPARAM(&s), LPARAM(&e));
  EXPECT_EQ(s, 0u);
  EXPECT_EQ(e, 5u);
  // Home and End stay the edit's.
  Key(VK_END);
  EXPECT_EQ(Sel(), 0);
  SendMessageW(combo, CB_GETEDITSEL, WPARAM(&s), LPARAM(&e));
  EXPECT_EQ(s, 5u);

  log.clear();
  SetFocus(other);
  EXPECT_EQ(log, (Log{"KILLFOCUS"}));
  // The edit's colours are the parent's to choose.
  InvalidateRect(edit, nullptr, TRUE);
  PumpMessages();
  EXPECT_NE(std::find(colorAsks.begin(), colorAsks.end(), edit), colorAsks.end());
}

TEST_F(ComboBoxControlTest, TheListOpensWithoutActivationAndAClickChooses) {
  Make(CBS_DROPDOWN);
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  SetFocus(combo);
  log.clear();
  ClickAt(main, ButtonPoint());
  ASSERT_TRUE(Dropped());
  EXPECT_TRUE(IsWindowVisible(list));
  EXPECT_EQ(log, (Log{"DROPDOWN"}));
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(GetWindowLongW(list, GWL_EXSTYLE) & WS_EX_NOACTIVATE, LONG(WS_EX_NOACTIVATE));
  // Below the box, at least as wide.
  RECT cr, lr;
  GetWindowRect(combo, &cr);
  GetWindowRect(list, &lr);
  EXPECT_EQ(lr.top, cr.bottom);
  EXPECT_EQ(lr.left, cr.left);
  EXPECT_GE(lr.right - lr.left, cr.right - cr.left);
  EXPECT_FALSE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);  // the selection is highlighted

  // The pointer highlights; the selection waits for the click.
  host.Mouse(HostEventType::MouseMove, list, RowPoint(2));
  PumpMessages();
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Sel(), 0);
  POINT row2 = RowPoint(2), row3 = RowPoint(3);
  ScreenToClient(list, &row2);
  ScreenToClient(list, &row3);
  EXPECT_EQ(SurfacePixel(list, 1, row2.y), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(SurfacePixel(list, 1, row3.y), GetSysColor(COLOR_WINDOW));

  ClickAt(list, RowPoint(2));
  EXPECT_FALSE(Dropped());
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_EQ(Sel(), 2);
  EXPECT_EQ(selAtChange, 2);
  EXPECT_EQ(Text(edit), u"Cherry");
  EXPECT_EQ(log, (Log{"DROPDOWN", "SELCHANGE", "SELENDOK", "CLOSEUP"}));
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(GetCapture(), HWND(0));

  // A click elsewhere closes it and changes nothing; the click does not reach the other window.
  log.clear();
  ClickAt(main, ButtonPoint());
  ASSERT_TRUE(Dropped());
  host.Mouse(HostEventType::MouseMove, list, RowPoint(3));
  RECT or_;
  GetWindowRect(other, &or_);
  ClickAt(main, POINT{or_.left + 5, or_.top + 5});
  EXPECT_FALSE(Dropped());
  EXPECT_EQ(Sel(), 2);
  EXPECT_EQ(log, (Log{"DROPDOWN", "SELENDCANCEL", "CLOSEUP"}));
  EXPECT_EQ(GetFocus(), edit);
}

TEST_F(ComboBoxControlTest, KeysOpenNavigateAcceptAndCancel) {
  Make(CBS_DROPDOWNLIST);
  SetFocus(combo);
  SendMessageW(combo, CB_SETCURSEL, 1, 0);
  log.clear();
  Key(VK_F4);
  ASSERT_TRUE(Dropped());
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 3);
  EXPECT_EQ(Sel(), 1);
  Key(VK_ESCAPE);
  EXPECT_FALSE(Dropped());
  EXPECT_EQ(Sel(), 1);
  EXPECT_EQ(log, (Log{"DROPDOWN", "SELENDCANCEL", "CLOSEUP"}));

  log.clear();
  Key(VK_DOWN, kHostAlt);
  ASSERT_TRUE(Dropped());
  Key(VK_HOME);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
  Key(VK_RETURN);
  EXPECT_FALSE(Dropped());
  EXPECT_EQ(Sel(), 0);
  EXPECT_EQ(log, (Log{"DROPDOWN", "SELCHANGE", "SELENDOK", "CLOSEUP"}));

  // Alt+Down and F4 close what they opened, keeping the highlighted item.
  log.clear();
  Key(VK_F4);
  Key(VK_NEXT);
  Key(VK_DOWN, kHostAlt);
  EXPECT_FALSE(Dropped());
  EXPECT_EQ(Sel(), 3);
  EXPECT_EQ(log, (Log{"DROPDOWN", "SELCHANGE", "SELENDOK", "CLOSEUP"}));

  // Closed: the navigation keys and type-ahead select at once.
  log.clear();
  Key(VK_HOME);
  EXPECT_EQ(Sel(), 0);
  Key(VK_END);
  EXPECT_EQ(Sel(), 3);
  Key(VK_PRIOR);
  EXPECT_EQ(Sel(), 0);
  host.Key(HostEventType::KeyDown, 'C', u"c");
  PumpMessages();
  EXPECT_EQ(Sel(), 2);
  EXPECT_EQ(Text(combo), u"Cherry");
  EXPECT_EQ(log, (Log{"SELCHANGE", "SELCHANGE", "SELCHANGE", "SELCHANGE"}));

  // Losing the focus while open cancels.
  Key(VK_F4);
  log.clear();
  SetFocus(other);
  EXPECT_FALSE(Dropped());
  EXPECT_EQ(log, (Log{"SELENDCANCEL", "CLOSEUP", "KILLFOCUS"}));
}

TEST_F(ComboBoxControlTest, LongListsScroll) {
  Make(CBS_DROPDOWNLIST, {});
  for (int i = 0; i < 50; ++i) {
    String s = u"Item " + String(1, char16_t(u'A' + i / 10)) + String(1, char16_t(u'0' + i % 10));
    SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(s.c_str()));
  }
  SendMessageW(combo, CB_SETMINVISIBLE, 8, 0);
  SetFocus(combo);
  Key(VK_F4);
  ASSERT_TRUE(Dropped());
  EXPECT_TRUE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL);
  RECT lr;
  GetWindowRect(list, &lr);
  int ih = int(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  EXPECT_EQ(lr.bottom - lr.top, 8 * ih + 2);
  Key(VK_END);
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 42);
  Key(VK_HOME);
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);

  // The scroll bar's down arrow scrolls and leaves the list open.
  POINT arrow{lr.right - 5, lr.bottom - 5};
  host.Mouse(HostEventType::MouseDown, list, arrow, kHostLeftButton, kHostLeftButton);
  host.Mouse(HostEventType::MouseUp, list, arrow, kHostLeftButton, 0);
  PumpMessages();
  EXPECT_TRUE(Dropped());
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 1);
  EXPECT_EQ(GetCapture(), list);
  // The wheel scrolls too.
  SendMessageW(combo, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 4);
  ClickAt(list, RowPoint(5));
  EXPECT_EQ(Sel(), 5);
}

TEST_F(ComboBoxControlTest, ScrollBarStylesAreLeftToTheList) {
  HWND c = CreateWindowExW(0, u"COMBOBOX", u"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN,
                           10, 10, 150, 200, main, HMENU(kId), 0, nullptr);
  EXPECT_FALSE(GetWindowLongW(c, GWL_STYLE) & WS_VSCROLL);
  RECT wr, cr;
  GetWindowRect(c, &wr);
  GetClientRect(c, &cr);
  EXPECT_EQ(cr.right, wr.right - wr.left) << "no scroll bar narrows the field";
}

TEST_F(ComboBoxControlTest, DestroyedWhileOpen) {
  Make(CBS_DROPDOWN);
  SetFocus(combo);
  SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_TRUE(Dropped());
  HWND popup = list;
  DestroyWindow(combo);
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_EQ(GetCapture(), HWND(0));
  PumpMessages();
}

std::vector<COLORREF> Pixels(HWND hwnd, const RECT& area) {
  std::vector<COLORREF> out;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) out.push_back(SurfacePixel(hwnd, x, y));
  return out;
}

TEST_F(ComboBoxControlTest, BothLooks) {
  Make(CBS_DROPDOWNLIST);
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  COMBOBOXINFO info;
  GetComboBoxInfo(combo, &info);
  for (bool styles : {true, false}) {
    SetThemesEnabledForTesting(styles);
    SetFocus(other);
    InvalidateRect(combo, nullptr, TRUE);
    PumpMessages();
    std::vector<COLORREF> button = Pixels(combo, info.rcButton);
    RECT field = info.rcItem;
    // The unfocused field is the window colour behind the text.
    EXPECT_EQ(SurfacePixel(combo, field.right - 2, field.top + 2), GetSysColor(COLOR_WINDOW));
    SetFocus(combo);
    PumpMessages();
    EXPECT_EQ(SurfacePixel(combo, field.right - 3, field.top + 3), GetSysColor(COLOR_HIGHLIGHT))
        << styles;
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    PumpMessages();
    EXPECT_NE(Pixels(combo, info.rcButton), button) << styles;  // drawn pressed while open
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    SetFocus(other);
    PumpMessages();
    EXPECT_EQ(Pixels(combo, info.rcButton), button) << styles;
    EnableWindow(combo, FALSE);
    PumpMessages();
    EXPECT_NE(Pixels(combo, info.rcButton), button) << styles;
    EXPECT_EQ(SurfacePixel(combo, field.right - 2, field.top + 2), GetSysColor(COLOR_BTNFACE));
    EnableWindow(combo, TRUE);
  }
}

}  // namespace
