// The single-line edit control: text and selection, typing and keys, undo, the clipboard,
// limits and read-only, the mouse, layout (margins, alignment, scrolling) and painting.
#include "SystemControls.h"
#include "UserTestSupport.h"

namespace {

constexpr int kId = 7;

class EditControlTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    RegisterSystemControlClasses();
    RegisterTestClass(u"Main", 0, HBRUSH(COLOR_BTNFACE + 1),
                      [this](HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT* r) {
                        if (msg == WM_COMMAND && HWND(lp) == edit) codes.push_back(HIWORD(wp));
                        if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORSTATIC) {
                          colorAsks.push_back(msg);
                          if (brush) {
                            SetTextColor(HDC(wp), RGB(0, 0, 255));
                            *r = LRESULT(brush);
                            return true;
                          }
                        }
                        return false;
                      });
    main = CreateWindowExW(0, u"Main", u"", WS_POPUP | WS_VISIBLE, 100, 100, 300, 100, 0, 0, 0,
                           nullptr);
  }
  void TearDown() override {
    if (brush) DeleteObject(brush);
    UserTest::TearDown();
  }

  HWND Make(const char16_t* text, DWORD style = ES_AUTOHSCROLL, int width = 200) {
    edit = CreateWindowExW(0, u"edit", text, WS_CHILD | WS_VISIBLE | style, 10, 10, width, 24, main,
                           HMENU(kId), 0, nullptr);
    return edit;
  }
  String Text() const {
    WCHAR buf[256] = {};
    GetWindowTextW(edit, buf, 256);
    return buf;
  }
  std::pair<int, int> Selection() const {
    DWORD s = 0, e = 0;
    SendMessageW(edit, EM_GETSEL, WPARAM(&s), LPARAM(&e));
    return {int(s), int(e)};
  }
  void Type(const String& s) {
    for (WCHAR c : s) PostMessageW(edit, WM_CHAR, c, 1);
    PumpMessages();
  }
  void Key(int vk) {
    PostMessageW(edit, WM_KEYDOWN, WPARAM(vk), 1);
    PumpMessages();
  }
  void ShiftKey(int vk) {
    host.Key(HostEventType::KeyDown, VK_SHIFT, u"", kHostShift);
    host.Key(HostEventType::KeyDown, vk, u"", kHostShift);
    host.Key(HostEventType::KeyUp, VK_SHIFT, u"", 0);
    PumpMessages();
  }
  int XOf(int index) const {
    return SHORT(LOWORD(SendMessageW(edit, EM_POSFROMCHAR, WPARAM(index), 0)));
  }
  void Click(UINT msg, int x, WPARAM keys = MK_LBUTTON) {
    PostMessageW(edit, msg, keys, MAKELPARAM(x, 8));
    PumpMessages();
  }
  int Count(WORD code) const { return int(std::count(codes.begin(), codes.end(), code)); }

  HWND main = 0;
  HWND edit = 0;
  HBRUSH brush = 0;
  std::vector<WORD> codes;
  std::vector<UINT> colorAsks;
};

using Sel = std::pair<int, int>;

TEST_F(EditControlTest, TextAndSelectionMessages) {
  Make(u"hello");
  EXPECT_EQ(GetWindowTextLengthW(edit), 5);
  WCHAR small[3] = {};
  EXPECT_EQ(SendMessageW(edit, WM_GETTEXT, 3, LPARAM(small)), 2);
  EXPECT_EQ(String(small), u"he");
  EXPECT_EQ(Selection(), Sel(0, 0));

  SendMessageW(edit, EM_SETSEL, 1, 3);
  EXPECT_EQ(Selection(), Sel(1, 3));
  EXPECT_EQ(SendMessageW(edit, EM_GETSEL, 0, 0), MAKELRESULT(1, 3));
  SendMessageW(edit, EM_SETSEL, 0, -1);
  EXPECT_EQ(Selection(), Sel(0, 5));
  SendMessageW(edit, EM_SETSEL, 2, 99);  // clamped to the text
  EXPECT_EQ(Selection(), Sel(2, 5));
  SendMessageW(edit, EM_SETSEL, WPARAM(-1), 0);  // drops the selection, caret stays at the end
  EXPECT_EQ(Selection(), Sel(5, 5));

  SetWindowTextW(edit, u"new text");
  EXPECT_EQ(Text(), u"new text");
  EXPECT_EQ(Selection(), Sel(0, 0));
  EXPECT_EQ(Count(EN_CHANGE), 1);
  EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0));
  EXPECT_FALSE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
}

TEST_F(EditControlTest, TypingReplacesTheSelectionAndNotifies) {
  Make(u"hello");
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 1, 4);
  codes.clear();
  Type(u"EY");
  EXPECT_EQ(Text(), u"hEYo");
  EXPECT_EQ(Selection(), Sel(3, 3));
  EXPECT_EQ(codes, (std::vector<WORD>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));
  EXPECT_TRUE(SendMessageW(edit, EM_GETMODIFY, 0, 0));

  codes.clear();
  Type(u"\t\r");  // control characters are not text in a single-line edit
  EXPECT_EQ(Text(), u"hEYo");
  EXPECT_TRUE(codes.empty());
}

TEST_F(EditControlTest, EditingKeys) {
  Make(u"abcdef");
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 3, 3);
  Type(u"\b");
  EXPECT_EQ(Text(), u"abdef");
  Key(VK_DELETE);
  EXPECT_EQ(Text(), u"abef");
  Key(VK_HOME);
  Key(VK_DELETE);
  EXPECT_EQ(Text(), u"bef");
  Type(u"\b");  // nothing before the caret
  EXPECT_EQ(Text(), u"bef");
  Key(VK_END);
  Key(VK_DELETE);  // nothing after it
  Type(u"\b");
  EXPECT_EQ(Text(), u"be");
  Key(VK_LEFT);
  EXPECT_EQ(Selection(), Sel(1, 1));
  Key(VK_RIGHT);
  Key(VK_RIGHT);  // stops at the end
  EXPECT_EQ(Selection(), Sel(2, 2));
}

TEST_F(EditControlTest, KeyboardSelection) {
  Make(u"one two");
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 3, 3);
  ShiftKey(VK_LEFT);
  ShiftKey(VK_LEFT);
  EXPECT_EQ(Selection(), Sel(1, 3));
  ShiftKey(VK_END);  // the anchor stays where the selection began
  EXPECT_EQ(Selection(), Sel(3, 7));
  Key(VK_LEFT);  // an arrow without Shift collapses to the selection's edge
  EXPECT_EQ(Selection(), Sel(3, 3));

  // A selection made backwards keeps its caret at the start.
  SendMessageW(edit, EM_SETSEL, 5, 2);
  ShiftKey(VK_RIGHT);
  EXPECT_EQ(Selection(), Sel(3, 5));

  Type(u"\x01");  // Ctrl+A
  EXPECT_EQ(Selection(), Sel(0, 7));
  Type(u"x");
  EXPECT_EQ(Text(), u"x");
}

TEST_F(EditControlTest, UndoTakesBackTheLastChange) {
  Make(u"");
  SetFocus(edit);
  EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0));
  Type(u"abc");  // a run of typing is one change
  EXPECT_TRUE(SendMessageW(edit, EM_CANUNDO, 0, 0));
  EXPECT_TRUE(SendMessageW(edit, EM_UNDO, 0, 0));
  EXPECT_EQ(Text(), u"");
  Type(u"\x1A");  // Ctrl+Z undoes the undo
  EXPECT_EQ(Text(), u"abc");
  EXPECT_EQ(Selection(), Sel(3, 3));

  Key(VK_LEFT);  // moving the caret ends the run
  Type(u"X");
  EXPECT_EQ(Text(), u"abXc");
  SendMessageW(edit, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(), u"abc");

  SendMessageW(edit, EM_SETSEL, 0, 1);
  SendMessageW(edit, EM_REPLACESEL, FALSE, LPARAM(u"Z"));  // not undoable
  EXPECT_EQ(Text(), u"Zbc");
  EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0));
  SendMessageW(edit, EM_REPLACESEL, TRUE, LPARAM(u"YY"));
  EXPECT_EQ(Text(), u"ZYYbc");
  SendMessageW(edit, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(), u"Zbc");
}

TEST_F(EditControlTest, Clipboard) {
  Make(u"hello");
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 1, 4);
  SendMessageW(edit, WM_COPY, 0, 0);
  EXPECT_EQ(host.clipboard, u"ell");
  EXPECT_EQ(Text(), u"hello");
  Type(u"\x18");  // Ctrl+X
  EXPECT_EQ(Text(), u"ho");
  EXPECT_EQ(host.clipboard, u"ell");
  host.clipboard = u"first\r\nsecond";
  Type(u"\x16");  // Ctrl+V keeps only the first line
  EXPECT_EQ(Text(), u"hfirsto");
  EXPECT_EQ(Selection(), Sel(6, 6));
  SendMessageW(edit, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(), u"ho");

  // What a password field holds never reaches the clipboard.
  SendMessageW(edit, EM_SETPASSWORDCHAR, u'*', 0);
  host.clipboard = u"kept";
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_COPY, 0, 0);
  SendMessageW(edit, WM_CUT, 0, 0);
  EXPECT_EQ(host.clipboard, u"kept");
  EXPECT_EQ(Text(), u"ho");
}

TEST_F(EditControlTest, ReadOnlyRefusesChanges) {
  Make(u"fixed", ES_AUTOHSCROLL | ES_READONLY);
  SetFocus(edit);
  host.clipboard = u"zz";
  Type(u"a\b");
  SendMessageW(edit, EM_SETSEL, 0, 2);
  SendMessageW(edit, WM_PASTE, 0, 0);
  SendMessageW(edit, WM_CUT, 0, 0);
  Key(VK_DELETE);
  EXPECT_EQ(Text(), u"fixed");
  EXPECT_GT(host.beeps, 0);
  SendMessageW(edit, WM_COPY, 0, 0);  // reading is still allowed
  EXPECT_EQ(host.clipboard, u"fi");

  SendMessageW(edit, EM_SETREADONLY, FALSE, 0);
  EXPECT_EQ(GetWindowLongW(edit, GWL_STYLE) & LONG(ES_READONLY), 0);
  Type(u"X");
  EXPECT_EQ(Text(), u"Xxed");
  SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
  EXPECT_NE(GetWindowLongW(edit, GWL_STYLE) & LONG(ES_READONLY), 0);
}

TEST_F(EditControlTest, TextLimit) {
  Make(u"");
  SetFocus(edit);
  EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 30000);
  SendMessageW(edit, EM_LIMITTEXT, 3, 0);
  Type(u"abcd");
  EXPECT_EQ(Text(), u"abc");
  EXPECT_EQ(Count(EN_MAXTEXT), 1);
  SendMessageW(edit, EM_SETSEL, 1, 2);
  SendMessageW(edit, EM_REPLACESEL, TRUE, LPARAM(u"XYZ"));  // only what fits goes in
  EXPECT_EQ(Text(), u"aXc");
  SendMessageW(edit, EM_LIMITTEXT, 0, 0);
  EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

TEST_F(EditControlTest, MouseSelection) {
  Make(u"one two three");
  Click(WM_LBUTTONDOWN, XOf(4) + 1);  // gives the focus and places the caret
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(GetCapture(), edit);
  EXPECT_EQ(Selection(), Sel(4, 4));
  Click(WM_MOUSEMOVE, XOf(7));
  EXPECT_EQ(Selection(), Sel(4, 7));
  Click(WM_MOUSEMOVE, XOf(1));  // dragging back past the anchor
  EXPECT_EQ(Selection(), Sel(1, 4));
  Click(WM_LBUTTONUP, XOf(1), 0);
  EXPECT_EQ(GetCapture(), HWND(0));
  Click(WM_MOUSEMOVE, XOf(9), 0);  // no longer tracking
  EXPECT_EQ(Selection(), Sel(1, 4));

  Click(WM_LBUTTONDOWN, XOf(9), MK_LBUTTON | MK_SHIFT);  // extends from the anchor
  Click(WM_LBUTTONUP, XOf(9), 0);
  EXPECT_EQ(Selection(), Sel(4, 9));

  Click(WM_LBUTTONDBLCLK, XOf(5));
  EXPECT_EQ(Selection(), Sel(4, 7));
  Click(WM_LBUTTONUP, XOf(5), 0);
  Click(WM_LBUTTONDBLCLK, XOf(13) + 30);  // past the end: the last word
  EXPECT_EQ(Selection(), Sel(8, 13));
}

TEST_F(EditControlTest, MarginsAndAlignment) {
  Make(u"abc");
  RECT rc;
  GetClientRect(edit, &rc);
  EXPECT_EQ(XOf(0), 0);
  SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(10, 6));
  EXPECT_EQ(SendMessageW(edit, EM_GETMARGINS, 0, 0), MAKELRESULT(10, 6));
  EXPECT_EQ(XOf(0), 10);
  int width = XOf(3) - XOf(0);
  EXPECT_GT(width, 0);
  SendMessageW(edit, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(99, 4));  // left untouched
  EXPECT_EQ(SendMessageW(edit, EM_GETMARGINS, 0, 0), MAKELRESULT(10, 4));

  DestroyWindow(edit);
  Make(u"abc", ES_RIGHT | ES_AUTOHSCROLL);
  SendMessageW(edit, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, 5));
  EXPECT_EQ(XOf(3), rc.right - 5);
  DestroyWindow(edit);
  Make(u"abc", ES_CENTER | ES_AUTOHSCROLL);
  EXPECT_EQ(XOf(0), (rc.right - width) / 2);
}

// An edit given a font keeps text and caret a third of an average character inside both sides,
// so right-aligned figures do not touch the frame; without a font there is no margin.
TEST_F(EditControlTest, FontGivesTheDefaultMargins) {
  HFONT font =
      CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"Tahoma");
  HDC dc = GetDC(0);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(0, dc);
  const int m = (int(tm.tmAveCharWidth) + 1) / 3;
  ASSERT_GT(m, 0);

  Make(u"1234", ES_RIGHT | ES_READONLY);
  EXPECT_EQ(SendMessageW(edit, EM_GETMARGINS, 0, 0), 0);
  SendMessageW(edit, WM_SETFONT, WPARAM(font), TRUE);
  EXPECT_EQ(SendMessageW(edit, EM_GETMARGINS, 0, 0), MAKELRESULT(m, m));
  RECT rc;
  GetClientRect(edit, &rc);
  EXPECT_EQ(XOf(4), rc.right - m);
  SetFocus(edit);
  Key(VK_END);
  POINT caret;
  ASSERT_TRUE(GetCaretPos(&caret));
  EXPECT_EQ(caret.x, rc.right - m);
  SetFocus(main);
  PumpMessages();
  // No ink in the right margin.
  int ink = 0;
  for (int y = 0; y < rc.bottom; ++y)
    for (int x = rc.right - m; x < rc.right; ++x)
      if (SurfacePixel(edit, x, y) != GetSysColor(COLOR_BTNFACE)) ++ink;
  EXPECT_EQ(ink, 0);

  // Asked for by name in either word, and cleared by an explicit width.
  SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
  EXPECT_EQ(XOf(4), rc.right);
  SendMessageW(edit, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, EC_USEFONTINFO));
  EXPECT_EQ(SendMessageW(edit, EM_GETMARGINS, 0, 0), MAKELRESULT(0, m));
  DestroyWindow(edit);

  Make(u"1234");
  SendMessageW(edit, WM_SETFONT, WPARAM(font), FALSE);
  EXPECT_EQ(XOf(0), m);
  DestroyWindow(edit);
  DeleteObject(font);
}

TEST_F(EditControlTest, LongTextScrollsOnlyWithAutoHScroll) {
  Make(u"", ES_AUTOHSCROLL, 60);
  SetFocus(edit);
  Type(u"a fairly long line of text");
  EXPECT_EQ(Text(), u"a fairly long line of text");
  POINT caret;
  GetCaretPos(&caret);
  EXPECT_GT(caret.x, 0);
  EXPECT_LT(caret.x, 60);
  EXPECT_LT(XOf(0), 0);  // the start has scrolled out
  EXPECT_GT(Count(EN_HSCROLL), 0);
  Key(VK_HOME);
  EXPECT_EQ(XOf(0), 0);
  GetCaretPos(&caret);
  EXPECT_EQ(caret.x, 0);

  DestroyWindow(edit);
  Make(u"", 0, 60);
  SetFocus(edit);
  Type(u"a fairly long line of text");
  String kept = Text();
  EXPECT_GT(kept.size(), 0u);
  EXPECT_LT(kept.size(), 26u);
  EXPECT_GE(XOf(int(kept.size())), 0);
  EXPECT_LE(XOf(int(kept.size())), 60);
}

TEST_F(EditControlTest, FocusNotificationsAndCaret) {
  Make(u"abc");
  SetFocus(edit);
  EXPECT_EQ(Count(EN_SETFOCUS), 1);
  SendMessageW(edit, EM_SETSEL, 2, 2);
  POINT caret;
  ASSERT_TRUE(GetCaretPos(&caret));
  EXPECT_EQ(caret.x, XOf(2));
  SetFocus(main);
  EXPECT_EQ(Count(EN_KILLFOCUS), 1);
}

TEST_F(EditControlTest, PasswordCharacter) {
  Make(u"secret", ES_AUTOHSCROLL | ES_PASSWORD);
  EXPECT_EQ(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), u'*');
  EXPECT_EQ(Text(), u"secret");
  // Every character shows as the same mask, so all cells are as wide.
  EXPECT_EQ(XOf(1) - XOf(0), XOf(5) - XOf(4));
  SendMessageW(edit, EM_SETPASSWORDCHAR, 0, 0);
  EXPECT_EQ(GetWindowLongW(edit, GWL_STYLE) & LONG(ES_PASSWORD), 0);
}

TEST_F(EditControlTest, PaintsWithTheParentsColoursAndHighlight) {
  brush = CreateSolidBrush(RGB(255, 0, 0));
  Make(u"W");
  PumpMessages();
  EXPECT_EQ(colorAsks.back(), WM_CTLCOLOREDIT);
  EXPECT_EQ(SurfacePixel(edit, 150, 12), RGB(255, 0, 0));

  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  PumpMessages();
  EXPECT_EQ(SurfacePixel(edit, XOf(0), 0), GetSysColor(COLOR_HIGHLIGHT));
  SendMessageW(edit, EM_SETSEL, 1, 1);
  PumpMessages();
  EXPECT_EQ(SurfacePixel(edit, XOf(0), 0), RGB(255, 0, 0));

  SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
  colorAsks.clear();
  PumpMessages();
  ASSERT_FALSE(colorAsks.empty());
  EXPECT_EQ(colorAsks.back(), WM_CTLCOLORSTATIC);
}

// The parent chooses the background of a disabled edit, never its text: that is always grey.
TEST_F(EditControlTest, DisabledTextIsGreyWhateverTheParentAnswers) {
  brush = CreateSolidBrush(RGB(255, 0, 0));
  Make(u"WWW");
  PumpMessages();
  EnableWindow(edit, FALSE);
  colorAsks.clear();
  PumpMessages();
  ASSERT_FALSE(colorAsks.empty()) << "disabling repaints";
  EXPECT_EQ(colorAsks.back(), WM_CTLCOLORSTATIC);
  EXPECT_EQ(SurfacePixel(edit, 150, 12), RGB(255, 0, 0));
  int blue = 0, grey = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < XOf(3); ++x) {
      COLORREF c = SurfacePixel(edit, x, y);
      if (GetBValue(c) > GetRValue(c)) ++blue;
      if (c == GetSysColor(COLOR_GRAYTEXT)) ++grey;
    }
  EXPECT_EQ(blue, 0);
  EXPECT_GT(grey, 0);
}

TEST_F(EditControlTest, CueBannerShowsOnlyWhileEmpty) {
  Make(u"");
  SendMessageW(edit, EM_SETCUEBANNER, FALSE, LPARAM(u"Search here"));
  WCHAR buf[32] = {};
  EXPECT_TRUE(SendMessageW(edit, EM_GETCUEBANNER, WPARAM(buf), 32));
  EXPECT_EQ(String(buf), u"Search here");
  PumpMessages();
  SendMessageW(edit, EM_SETCUEBANNER, FALSE, LPARAM(u"Search here"));
  EXPECT_FALSE(GetUpdateRect(edit, nullptr, FALSE)) << "the same cue again repaints nothing";
  auto greyPixels = [&] {
    int n = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 3; x < 80; ++x)
        if (SurfacePixel(edit, x, y) != GetSysColor(COLOR_WINDOW)) ++n;
    return n;
  };
  EXPECT_GT(greyPixels(), 0);
  SetFocus(edit);  // hidden while focused unless asked otherwise
  PumpMessages();
  EXPECT_EQ(greyPixels(), 0);
  SetFocus(main);
  SetWindowTextW(edit, u"");
  PumpMessages();
  EXPECT_GT(greyPixels(), 0);
}

}  // namespace
