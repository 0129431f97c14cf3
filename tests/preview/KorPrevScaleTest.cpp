// The preview on a screen of twice the scale (Qt's offscreen host, in a process of its own): the
// page reaches the screen in device pixels, drawn from its elements at the zoom times the scale,
// and scrolls with the box; the page's bitmap keeps its logical pixels.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "ExtCtrls.h"
#include "HostWindows.h"
#include "PreviewTestSupport.h"
#include "ScopeGuard.h"
#include "User.h"
#include "UserDriver.h"

namespace {

using PreviewScaleTest = PreviewTest;

// The device point of the preview's host surface where the page's logical point (x, y) shows.
POINT DeviceOf(TPreviewForm* form, int x, int y) {
  POINT p{form->Image1->Left() + x, form->Image1->Top() + y};
  ClientToScreen(form->ScrollBox1->Handle(), &p);
  HostSurfaceInfo info;
  if (!HostSurfaceInfoForTesting(form->Handle(), &info)) return POINT{-1, -1};
  return POINT{(p.x - info.geometry.left) * 2, (p.y - info.geometry.top) * 2};
}

// Rows of device column x, from y0 to y1, that are not white.
std::vector<int> DarkDeviceRows(HWND surface, int x, int y0, int y1) {
  std::vector<int> rows;
  for (int y = y0; y < y1; ++y) {
    std::uint32_t p = 0xFFFFFF;
    if (HostSurfaceDevicePixelForTesting(surface, x, y, &p) && p != 0xFFFFFF) rows.push_back(y);
  }
  return rows;
}

// Runs the loop until the line through the page's logical row y shows in the device column
// of its logical column x, or 3 s went by; the dark device rows round it, as offsets from the
// device row where the logical row begins.
std::vector<int> LineAt(TPreviewForm* form, int x, int y) {
  std::vector<int> rows;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (std::chrono::steady_clock::now() < end) {
    Application->ProcessMessages();
    POINT d = DeviceOf(form, x, y);
    rows = DarkDeviceRows(form->Handle(), d.x, d.y - 6, d.y + 6);
    for (int& r : rows) r -= d.y;
    if (!rows.empty() && rows.front() == 0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return rows;
}

TEST_F(PreviewScaleTest, AtTwiceTheScaleThePageShowsInDevicePixels) {
  if (!std::getenv("KORV_PREVIEW_SCALE2_CHILD")) {
    EXPECT_EQ(RunSelf("env QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 "
                      "KORV_PREVIEW_SCALE2_CHILD=1",
                      "PreviewScaleTest.*"),
              0)
        << "run with KORV_PREVIEW_SCALE2_CHILD=1 QT_SCALE_FACTOR=2 to see why";
    return;
  }
  UserSetHostDriver(HostQtWindowDriver());
  ScopeGuard noHost([] {
    ResetPreviewForTesting();
    UserSetHostDriver(nullptr);
  });
  // A line 1 inch down two thirds of a pixel wide at 100%: one logical pixel, which the
  // screen would show two device pixels high, where the page at twice the zoom has it one.
  form->begindoc(oPortrait, true);
  form->LineWidth(10);
  form->MoveTo(0, 1440);
  form->LineTo(form->PageWidth(), 1440);
  form->enddoc();
  ASSERT_EQ(UserDeviceScale(form->Handle()), 2.0);
  EXPECT_EQ(DarkRows(50), (std::vector<int>{96}));  // the page's bitmap
  EXPECT_EQ(LineAt(form, 50, 96), (std::vector<int>{0}));

  // Scrolled, the line moves with the page's logical pixels.
  form->ScrollBox1->VertScrollBar()->SetPosition(40);
  ASSERT_EQ(form->Image1->Top(), -40);
  EXPECT_EQ(LineAt(form, 50, 96), (std::vector<int>{0}));
  // Drawn again where it is scrolled to, it stays with the page.
  form->DrawPage();
  EXPECT_EQ(LineAt(form, 50, 96), (std::vector<int>{0}));
}

}  // namespace
