// The window system's costs: a full repaint of a 1050 x 600 window with ten children (painting
// alone, and with the flush to Qt's offscreen host), and 100000 messages posted and dispatched.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "HostWindows.h"
#include "User.h"
#include "UserDriver.h"

namespace {

long gDispatched = 0;

LRESULT PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    // What a control typically does: a frame, a few lines and a caption.
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
    for (int y = 4; y < r.bottom; y += 8) {
      MoveToEx(dc, 2, y, nullptr);
      LineTo(dc, r.right - 2, y);
    }
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, 6, 6, u"Staves", 6);
    EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_USER) {
    ++gDispatched;
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND BuildWindow() {
  UserResetForTesting();
  WNDCLASSEXW wc;
  wc.lpfnWndProc = PanelProc;
  wc.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
  wc.lpszClassName = u"BenchPanel";
  RegisterClassExW(&wc);
  RECT r{0, 0, 1050, 600};
  AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
  HWND top = CreateWindowExW(0, u"BenchPanel", u"Quillmark Paper Generation",
                             WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                             r.right - r.left, r.bottom - r.top, 0, 0, 0, nullptr);
  for (int i = 0; i < 10; ++i)
    CreateWindowExW(WS_EX_CLIENTEDGE, u"BenchPanel", u"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                    20 + (i % 5) * 205, 40 + (i / 5) * 270, 190, 240, top, HMENU(i + 1), 0,
                    nullptr);
  MSG m;
  while (PeekMessageW(&m, 0, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  return top;
}

void Repaint(benchmark::State& state, HostWindowDriver* host) {
  UserSetHostDriver(host);
  HWND top = BuildWindow();
  for (auto _ : state) {
    RedrawWindow(top, nullptr, 0,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    UserFlushSurfaces();
  }
  UserResetForTesting();
  UserSetHostDriver(nullptr);
}

void BM_FullRepaint(benchmark::State& state) { Repaint(state, nullptr); }
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

void BM_FullRepaintAndFlushToQt(benchmark::State& state) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  Repaint(state, HostQtWindowDriver());
}
BENCHMARK(BM_FullRepaintAndFlushToQt)->Unit(benchmark::kMicrosecond);

void BM_PostAndDispatch100000(benchmark::State& state) {
  UserSetHostDriver(nullptr);
  HWND top = BuildWindow();
  HWND child = GetWindow(top, GW_CHILD);
  for (auto _ : state) {
    gDispatched = 0;
    for (int i = 0; i < 100000; ++i) PostMessageW(child, WM_USER, WPARAM(i), 0);
    MSG m;
    while (PeekMessageW(&m, 0, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    if (gDispatched != 100000) state.SkipWithError("messages lost");
  }
  state.SetItemsProcessed(state.iterations() * 100000);
  UserResetForTesting();
}
BENCHMARK(BM_PostAndDispatch100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
