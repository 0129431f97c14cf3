// MessageBoxW: answered from the modal-loop hook by keys, clicks and BM_CLICK; the owner
// disabled while it runs and active again after; buttons, default and focus; Escape and the
// close box; WM_QUIT; text wrapping and placement; the icons and both looks.
#include <cstdlib>

#include "SystemControls.h"
#include "Themes.h"
#include "UserTestSupport.h"

namespace {

class MessageBoxTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    themed = IsThemeActive() != FALSE;
    RegisterTestClass(u"Main", 0, HBRUSH(COLOR_BTNFACE + 1));
    main = CreateWindowExW(0, u"Main", u"Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 150, 500,
                           400, 0, 0, 0, nullptr);
    field = CreateWindowExW(0, u"EDIT", u"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 22, main, 0, 0,
                            nullptr);
    SetFocus(field);
    PumpMessages();
  }
  void TearDown() override {
    SetThemesEnabledForTesting(themed);
    UserTest::TearDown();
  }

  // Runs a box whose loop the answer function handles once it is shown.
  int Run(UINT type, std::function<void(HWND)> answer, const char16_t* text = u"Message",
          HWND owner = HWND(-1)) {
    SetModalLoopHook([this, answer](HWND box) {
      ++entered;
      dialog = box;
      buttons.clear();
      for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        WCHAR cls[16];
        GetClassNameW(c, cls, 16);
        if (String(cls) == u"BUTTON") buttons.push_back(c);
      }
      std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) {
        RECT ra, rb;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.left < rb.left;
      });
      answer(box);
    });
    int r = MessageBoxW(owner == HWND(-1) ? main : owner, text, u"Caption", type);
    SetModalLoopHook(ModalLoopHook());
    return r;
  }
  void Key(int vk, const std::u16string& text = u"") {
    host.Key(HostEventType::KeyDown, vk, text);
    host.Key(HostEventType::KeyUp, vk);
  }
  String TextOf(HWND w) const {
    WCHAR buf[64] = {};
    GetWindowTextW(w, buf, 64);
    return buf;
  }
  std::vector<String> Labels() const {
    std::vector<String> out;
    for (HWND b : buttons) out.push_back(TextOf(b));
    return out;
  }

  bool themed = true;
  HWND main = 0, field = 0, dialog = 0;
  std::vector<HWND> buttons;
  int entered = 0;
};

using Names = std::vector<String>;

TEST_F(MessageBoxTest, ModalOverItsOwnerAndAnsweredByEnter) {
  bool ownerEnabled = true;
  HWND active = 0, focus = 0, owner = 0;
  RECT box{};
  int beeps = host.beeps;
  int r = Run(MB_OK | MB_ICONINFORMATION, [&](HWND d) {
    ownerEnabled = IsWindowEnabled(main);
    active = GetActiveWindow();
    focus = GetFocus();
    owner = GetWindow(d, GW_OWNER);
    GetWindowRect(d, &box);
    EXPECT_EQ(TextOf(d), u"Caption");
    EXPECT_TRUE(IsWindowVisible(d));
    Key(VK_RETURN);
  });
  EXPECT_EQ(r, IDOK);
  EXPECT_EQ(entered, 1);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_EQ(active, dialog);
  EXPECT_EQ(owner, main);
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_EQ(focus, buttons[0]);
  EXPECT_EQ(host.beeps, beeps + 1);
  // Centred on the owner.
  RECT mr;
  GetWindowRect(main, &mr);
  EXPECT_LE(std::abs((box.left + box.right) - (mr.left + mr.right)), 1);
  EXPECT_LE(std::abs((box.top + box.bottom) - (mr.top + mr.bottom)), 1);
  // Afterwards: gone, the owner enabled, active, with its focus back.
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(GetFocus(), field);
}

TEST_F(MessageBoxTest, ButtonsDefaultsTabEscapeAndMnemonics) {
  EXPECT_EQ(Run(MB_YESNOCANCEL | MB_DEFBUTTON2,
                [&](HWND) {
                  EXPECT_EQ(Labels(), (Names{u"&Yes", u"&No", u"Cancel"}));
                  EXPECT_EQ(GetFocus(), buttons[1]);
                  EXPECT_EQ(SendMessageW(buttons[1], WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON,
                            DLGC_DEFPUSHBUTTON);
                  Key(VK_RETURN);
                }),
            IDNO);
  EXPECT_EQ(Run(MB_YESNOCANCEL, [&](HWND) { Key(VK_ESCAPE); }), IDCANCEL);
  // Tab walks the buttons (wrapping), and the focused one answers Enter.
  EXPECT_EQ(Run(MB_YESNOCANCEL,
                [&](HWND) {
                  Key(VK_TAB);
                  Key(VK_TAB);
                  Key(VK_TAB);
                  Key(VK_TAB);
                  Key(VK_RETURN);
                }),
            IDNO);
  EXPECT_EQ(Run(MB_YESNOCANCEL | MB_DEFBUTTON3, [&](HWND) { Key('Y', u"y"); }), IDYES);
  EXPECT_EQ(Run(MB_ABORTRETRYIGNORE,
                [&](HWND) {
                  EXPECT_EQ(Labels(), (Names{u"&Abort", u"&Retry", u"&Ignore"}));
                  SendMessageW(buttons[2], BM_CLICK, 0, 0);
                }),
            IDIGNORE);
  EXPECT_EQ(Run(MB_RETRYCANCEL,
                [&](HWND) {
                  EXPECT_EQ(Labels(), (Names{u"&Retry", u"Cancel"}));
                  Key(VK_SPACE);
                }),
            IDRETRY);
  // Escape on an OK box is OK; the close box answers Cancel.
  EXPECT_EQ(Run(MB_OK, [&](HWND) { Key(VK_ESCAPE); }), IDOK);
  EXPECT_EQ(Run(MB_OKCANCEL, [&](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); }), IDCANCEL);
}

HWND gYes = 0;

TEST_F(MessageBoxTest, YesNoHasNoWayOutButItsButtons) {
  // Escape and the close box come first; a timer (which waits for them) then clicks Yes.
  int r = Run(MB_YESNO | MB_ICONQUESTION, [&](HWND d) {
    gYes = buttons[0];
    Key(VK_ESCAPE);
    PostMessageW(d, WM_CLOSE, 0, 0);
    SetTimer(0, 0, 30, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(0, id);
      SendMessageW(gYes, BM_CLICK, 0, 0);
    });
  });
  EXPECT_EQ(r, IDYES);
}

TEST_F(MessageBoxTest, AClickWithTheMouse) {
  int r = Run(MB_OKCANCEL, [&](HWND d) {
    RECT br;
    GetWindowRect(buttons[1], &br);
    POINT p{(br.left + br.right) / 2, (br.top + br.bottom) / 2};
    host.Mouse(HostEventType::MouseMove, d, p);
    host.Mouse(HostEventType::MouseDown, d, p, kHostLeftButton, kHostLeftButton);
    host.Mouse(HostEventType::MouseUp, d, p, kHostLeftButton, 0);
  });
  EXPECT_EQ(r, IDCANCEL);
  // Clicks on the disabled owner meanwhile do nothing.
  bool clicked = false;
  SetTestHandler(u"Main", [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT*) {
    if (msg == WM_LBUTTONDOWN) clicked = true;
    return false;
  });
  r = Run(MB_OK, [&](HWND) {
    host.Mouse(HostEventType::MouseDown, main, POINT{450, 500}, kHostLeftButton, kHostLeftButton);
    host.Mouse(HostEventType::MouseUp, main, POINT{450, 500}, kHostLeftButton, 0);
    Key(VK_RETURN);
  });
  EXPECT_EQ(r, IDOK);
  EXPECT_FALSE(clicked);
}

TEST_F(MessageBoxTest, QuitEndsTheBoxAndIsPostedAgain) {
  EXPECT_EQ(Run(MB_OKCANCEL, [](HWND) { PostQuitMessage(3); }), IDCANCEL);
  EXPECT_EQ(Run(MB_YESNO | MB_DEFBUTTON2, [](HWND) { PostQuitMessage(4); }), IDNO);
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 4u);
  EXPECT_TRUE(IsWindowEnabled(main));
}

TEST_F(MessageBoxTest, TextWrapsAndTheBoxFitsIt) {
  RECT shortBox{}, longBox{}, label{};
  Run(
      MB_OK,
      [&](HWND d) {
        GetWindowRect(d, &shortBox);
        Key(VK_RETURN);
      },
      u"Short.");
  String text;
  for (int i = 0; i < 40; ++i) text += u"A sentence that goes on. ";
  Run(
      MB_OK,
      [&](HWND d) {
        GetWindowRect(d, &longBox);
        HWND l = GetWindow(d, GW_CHILD);
        for (; l; l = GetWindow(l, GW_HWNDNEXT)) {
          WCHAR cls[16];
          GetClassNameW(l, cls, 16);
          if (String(cls) == u"STATIC") GetWindowRect(l, &label);
        }
        Key(VK_RETURN);
      },
      text.c_str());
  EXPECT_GE(shortBox.right - shortBox.left, 160);
  EXPECT_LT(shortBox.right - shortBox.left, longBox.right - longBox.left);
  EXPECT_LE(longBox.right - longBox.left, 620);  // wrapped, not one endless line
  EXPECT_GT(longBox.bottom - longBox.top, (shortBox.bottom - shortBox.top) + 40);
  // The whole text fits its label: the label is as tall as the wrapped text needs.
  EXPECT_GT(label.bottom - label.top, 60);
  EXPECT_LT(label.bottom, longBox.bottom - 30);  // above the buttons
}

TEST_F(MessageBoxTest, WithoutAnOwnerCentredOnTheWorkAreaTaskModalDisablesAll) {
  HWND second = CreateWindowExW(0, u"Main", u"Second", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                200, 100, 0, 0, 0, nullptr);
  RECT box{};
  bool mainEnabled = true, secondEnabled = true;
  int r = Run(
      MB_OK | MB_TASKMODAL,
      [&](HWND d) {
        GetWindowRect(d, &box);
        mainEnabled = IsWindowEnabled(main);
        secondEnabled = IsWindowEnabled(second);
        EXPECT_EQ(GetWindow(d, GW_OWNER), HWND(0));
        Key(VK_RETURN);
      },
      u"Hello", 0);
  EXPECT_EQ(r, IDOK);
  EXPECT_FALSE(mainEnabled);
  EXPECT_FALSE(secondEnabled);
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(IsWindowEnabled(second));
  // The work area is 1024 x 728.
  EXPECT_LE(std::abs((box.left + box.right) - 1024), 1);
  EXPECT_LE(std::abs((box.top + box.bottom) - 728), 1);
  // Application-modal: the owner and what it owns, not the others.
  HWND tool = CreateWindowExW(WS_EX_TOOLWINDOW, u"Main", u"Tool", WS_POPUP | WS_VISIBLE, 700, 10,
                              100, 100, main, 0, 0, nullptr);
  bool toolEnabled = true;
  Run(MB_OK, [&](HWND) {
    mainEnabled = IsWindowEnabled(main);
    toolEnabled = IsWindowEnabled(tool);
    secondEnabled = IsWindowEnabled(second);
    Key(VK_RETURN);
  });
  EXPECT_FALSE(mainEnabled);
  EXPECT_FALSE(toolEnabled);
  EXPECT_TRUE(secondEnabled);
  EXPECT_TRUE(IsWindowEnabled(tool));
  // Without MB_TASKMODAL and without an owner nothing is disabled.
  Run(
      MB_OK,
      [&](HWND) {
        mainEnabled = IsWindowEnabled(main);
        Key(VK_RETURN);
      },
      u"Hello", 0);
  EXPECT_TRUE(mainEnabled);
}

struct Rgb {
  int r, g, b;
};
Rgb Split(COLORREF c) { return {GetRValue(c), GetGValue(c), GetBValue(c)}; }

TEST_F(MessageBoxTest, IconsAndBothLooks) {
  // Icon at client (12, 20), 32 pixels square; text to its right.
  struct Case {
    UINT icon;
    int x, y;  // a pixel inside the shape
    bool (*check)(Rgb);
  };
  const Case cases[] = {
      {MB_ICONERROR, 5, 16, [](Rgb c) { return c.r > 180 && c.g < 80 && c.b < 80; }},
      {MB_ICONWARNING, 8, 27, [](Rgb c) { return c.r > 200 && c.g > 150 && c.b < 80; }},
      {MB_ICONINFORMATION, 5, 16, [](Rgb c) { return c.b > 160 && c.r < 80; }},
      {MB_ICONQUESTION, 5, 16, [](Rgb c) { return c.b > 160 && c.r < 80; }},
  };
  for (const Case& k : cases) {
    Run(k.icon, [&](HWND d) {
      PumpMessages();
      EXPECT_TRUE(k.check(Split(SurfacePixel(d, 12 + k.x, 20 + k.y)))) << k.icon;
      // The glyph inside: the cross's centre and the info bar are white, the "!" black.
      COLORREF mid = SurfacePixel(d, 12 + 16, 20 + 17);
      if (k.icon == MB_ICONWARNING) {
        EXPECT_EQ(mid, RGB(0, 0, 0));
      } else if (k.icon == MB_ICONERROR || k.icon == MB_ICONINFORMATION) {
        EXPECT_EQ(mid, RGB(255, 255, 255));
      }
      if (k.icon == MB_ICONQUESTION) {
        bool white = false;
        for (int y = 6; y < 28 && !white; ++y)
          for (int x = 10; x < 22 && !white; ++x)
            white = SurfacePixel(d, 12 + x, 20 + y) == RGB(255, 255, 255);
        EXPECT_TRUE(white);
      }
      Key(VK_RETURN);
    });
  }
  // Without an icon the text starts at the margin.
  RECT label{}, box{};
  Run(MB_OK, [&](HWND d) {
    GetWindowRect(d, &box);
    GetWindowRect(GetDlgItem(d, 0xFFFF), &label);
    Key(VK_RETURN);
  });
  EXPECT_LT(label.left - box.left, 30);

  // Themed: a white text area over a band of the button face; classic: all face.
  for (bool styles : {true, false}) {
    SetThemesEnabledForTesting(styles);
    Run(MB_OK, [&](HWND d) {
      PumpMessages();
      RECT rc;
      GetClientRect(d, &rc);
      COLORREF top = SurfacePixel(d, rc.right - 3, 3);
      COLORREF bottom = SurfacePixel(d, rc.right - 3, rc.bottom - 3);
      EXPECT_EQ(bottom, GetSysColor(COLOR_BTNFACE));
      EXPECT_EQ(top, GetSysColor(styles ? COLOR_WINDOW : COLOR_BTNFACE));
      Key(VK_RETURN);
    });
  }
}

}  // namespace
