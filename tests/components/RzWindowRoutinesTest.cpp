// The routines that reach into windows and controls: frame refresh, transparent children, and
// the parent background copied behind a control.
#include <gtest/gtest.h>

#include "Controls.h"
#include "Forms.h"
#include "GdiSurface.h"
#include "RzCommon.h"
#include "RzGrafx.h"
#include "TypInfo.h"
#include "User.h"
#include "UserDriver.h"

namespace {

void RegisterProbes();

class WindowSystem : public ::testing::Test {
 protected:
  void SetUp() override {
    UserSetHostDriver(nullptr);
    UserResetForTesting();
    RegisterProbes();
  }
  void TearDown() override { UserResetForTesting(); }
};

LRESULT CountingProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_NCPAINT)
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, GetWindowLongPtrW(hwnd, GWLP_USERDATA) + 1);
  return DefWindowProcW(hwnd, msg, w, l);
}

HWND MakeFramedWindow(bool visible) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = CountingProc;
  wc.lpszClassName = u"RzFramedTest";
  RegisterClassW(&wc);
  DWORD style = WS_POPUP | WS_BORDER | (visible ? WS_VISIBLE : 0);
  HWND hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, u"RzFramedTest", u"", style, 10, 10, 80, 40, 0, 0,
                              0, nullptr);
  UpdateWindow(hwnd);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  return hwnd;
}

TEST_F(WindowSystem, RefreshNonClientFrameRepaintsOnlyASeenWindow) {
  HWND shown = MakeFramedWindow(true);
  RECT client;
  GetClientRect(shown, &client);
  RefreshNonClientFrame(shown, client);
  UpdateWindow(shown);
  EXPECT_EQ(GetWindowLongPtrW(shown, GWLP_USERDATA), 1) << "the frame is painted again";

  HWND hidden = MakeFramedWindow(false);
  RefreshNonClientFrame(hidden, client);
  RECT update;
  EXPECT_FALSE(GetUpdateRect(hidden, &update, FALSE));
  EXPECT_EQ(GetWindowLongPtrW(hidden, GWLP_USERDATA), 0);
}

// A windowless child with a published Transparent flag that counts its invalidations.
class TTransparentProbe : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  bool Transparent = false;
  int Invalidations = 0;
  void Invalidate() override {
    ++Invalidations;
    TGraphicControl::Invalidate();
  }
};

class TOpaqueProbe : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  int Invalidations = 0;
  void Invalidate() override {
    ++Invalidations;
    TGraphicControl::Invalidate();
  }
};

void RegisterProbes() {
  static const bool once = [] {
    RegisterClassLibrary();
    Published<TTransparentProbe>(u"TTransparentProbe", u"TGraphicControl")
        .Bool(u"Transparent", &TTransparentProbe::Transparent, &TTransparentProbe::Transparent,
              false);
    Published<TOpaqueProbe>(u"TOpaqueProbe", u"TGraphicControl");
    return true;
  }();
  (void)once;
}

TEST_F(WindowSystem, InvalidateTransparentChildrenPicksTransparentOnes) {
  TWinControl parent(nullptr);
  auto* clear = new TTransparentProbe(&parent);
  auto* solid = new TTransparentProbe(&parent);
  auto* other = new TOpaqueProbe(&parent);
  clear->SetParent(&parent);
  solid->SetParent(&parent);
  other->SetParent(&parent);
  clear->Transparent = true;
  clear->Invalidations = solid->Invalidations = other->Invalidations = 0;

  InvalidateTransparentChildren(&parent);
  EXPECT_EQ(clear->Invalidations, 1);
  EXPECT_EQ(solid->Invalidations, 0);
  EXPECT_EQ(other->Invalidations, 0) << "no Transparent property: left alone";
  InvalidateTransparentChildren(nullptr);
}

// A parent that paints a left and a right half in two colours and counts its invalidations.
class THalvesParent : public TWinControl {
 public:
  using TWinControl::TWinControl;
  int Invalidations = 0;
  bool FailPainting = false;
  void Invalidate() override {
    ++Invalidations;
    TWinControl::Invalidate();
  }

 protected:
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_ERASEBKGND) {
      if (FailPainting) throw Exception(u"paint failed");
      HDC dc = static_cast<HDC>(m.WParam);
      HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
      HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
      RECT left{0, 0, Width() / 2, Height()}, right{Width() / 2, 0, Width(), Height()};
      FillRect(dc, &left, red);
      FillRect(dc, &right, blue);
      DeleteObject(red);
      DeleteObject(blue);
      m.Result = 1;
      return;
    }
    TWinControl::Dispatch(m);
  }
};

TEST_F(WindowSystem, CopyParentBackgroundPaintsWhatLiesUnderTheControl) {
  THalvesParent parent(nullptr);
  parent.SetBounds(0, 0, 100, 40);
  auto* child = new TOpaqueProbe(&parent);
  child->SetParent(&parent);
  child->SetBounds(45, 10, 10, 10);  // straddles the colour boundary at x = 50

  TBitmap target(10, 10);
  HDC dc = target.Canvas()->Handle();
  POINT before{};
  GetViewportOrgEx(dc, &before);
  parent.Invalidations = 0;
  CopyParentBackground(child, dc, true);
  EXPECT_EQ(target.Canvas()->Pixels(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(target.Canvas()->Pixels(4, 9), RGB(255, 0, 0));
  EXPECT_EQ(target.Canvas()->Pixels(5, 0), RGB(0, 0, 255));
  EXPECT_EQ(parent.Invalidations, 1);
  POINT after{};
  GetViewportOrgEx(dc, &after);
  EXPECT_EQ(after.x, before.x);
  EXPECT_EQ(after.y, before.y);

  // Without InvalidateParent the parent is left alone.
  CopyParentBackground(child, dc, false);
  EXPECT_EQ(parent.Invalidations, 1);

  // A failure passes to the caller, except at design time; the DC is restored either way.
  parent.FailPainting = true;
  EXPECT_THROW(CopyParentBackground(child, dc, false), Exception);
  child->SetDesigning(true);
  EXPECT_NO_THROW(CopyParentBackground(child, dc, true));
  EXPECT_EQ(parent.Invalidations, 1) << "never invalidated while designing";
  GetViewportOrgEx(dc, &after);
  EXPECT_EQ(after.x, before.x);
}

TEST_F(WindowSystem, CopyParentBackgroundSparesFormsCustomControlsAndOrphans) {
  TBitmap target(4, 4);
  target.Canvas()->Brush()->SetColor(RGB(0, 255, 0));
  target.Canvas()->FillRect(Rect(0, 0, 4, 4));
  TOpaqueProbe orphan(nullptr);
  CopyParentBackground(&orphan, target.Canvas()->Handle(), true);
  EXPECT_EQ(target.Canvas()->Pixels(1, 1), RGB(0, 255, 0));

  // A custom control paints itself whole; its Paint reaches the DC through the client print.
  class TCountingCustom : public TCustomControl {
   public:
    using TCustomControl::TCustomControl;
    int Invalidations = 0;
    void Invalidate() override { ++Invalidations; }

   protected:
    void Paint() override {
      Canvas()->Brush()->SetColor(RGB(0, 0, 128));
      Canvas()->FillRect(Rect(21, 31, 22, 32));
    }
  } custom(nullptr);
  custom.SetBounds(0, 0, 50, 50);
  auto* child = new TOpaqueProbe(&custom);
  child->SetParent(&custom);
  child->SetBounds(20, 30, 4, 4);
  CopyParentBackground(child, target.Canvas()->Handle(), true);
  EXPECT_EQ(custom.Invalidations, 0);
  EXPECT_EQ(target.Canvas()->Pixels(1, 1), RGB(0, 0, 128));
  EXPECT_NE(target.Canvas()->Pixels(0, 0), RGB(0, 0, 128));
}

}  // namespace
