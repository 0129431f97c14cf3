// The caret: one per thread, blinking in its window's client area by inverting its rectangle.
#include "UserInternal.h"

namespace user {
namespace {

struct CaretState {
  HWND hwnd = 0;
  HBITMAP bitmap = 0;
  int width = 0;
  int height = 0;
  POINT pos;
  int hidden = 0;  // hide count; shown at 0
  bool drawn = false;
  UINT_PTR timer = 0;
} gCaret;
UINT gBlink = 530;

void Toggle() {
  if (!gCaret.hwnd || !IsWindow(gCaret.hwnd)) return;
  HDC dc = GetDCEx(gCaret.hwnd, 0, DCX_USESTYLE | DCX_CACHE);
  if (!dc) return;
  if (gCaret.bitmap) {
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, gCaret.bitmap);
    BitBlt(dc, gCaret.pos.x, gCaret.pos.y, gCaret.width, gCaret.height, mem, 0, 0, SRCINVERT);
    SelectObject(mem, old);
    DeleteDC(mem);
  } else {
    PatBlt(dc, gCaret.pos.x, gCaret.pos.y, gCaret.width, gCaret.height, DSTINVERT);
  }
  ReleaseDC(gCaret.hwnd, dc);
  gCaret.drawn = !gCaret.drawn;
}

void Restart() {
  if (gCaret.timer) KillSystemTimer(gCaret.timer);
  gCaret.timer = SetSystemTimer(gBlink, [] {
    if (gCaret.hidden == 0) Toggle();
  });
}

void Off() {
  if (gCaret.drawn) Toggle();
}

}  // namespace

void CaretWindowPainting(HWND hwnd, bool begin) {
  if (!gCaret.hwnd || gCaret.hwnd != hwnd) return;
  if (begin) HideCaret(hwnd);
  else ShowCaret(hwnd);
}

void CaretWindowDestroyed(HWND hwnd) {
  if (gCaret.hwnd != hwnd) return;
  if (gCaret.timer) KillSystemTimer(gCaret.timer);
  gCaret = CaretState{};
}

void CaretReset() {
  gCaret = CaretState{};
  gBlink = 530;
}

}  // namespace user

using namespace user;

BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height) {
  if (!GetWndOrError(hwnd)) return FALSE;
  DestroyCaret();
  gCaret.hwnd = hwnd;
  if (bitmap == 1) bitmap = 0;  // (HBITMAP)1: a grey caret, drawn as a plain one
  gCaret.bitmap = bitmap;
  if (bitmap) {
    BITMAP bm;
    if (GetObjectW(bitmap, sizeof bm, &bm)) {
      width = bm.bmWidth;
      height = bm.bmHeight;
    }
  }
  gCaret.width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
  gCaret.height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
  gCaret.hidden = 1;
  Restart();
  return TRUE;
}

BOOL DestroyCaret() {
  if (!gCaret.hwnd) return FALSE;
  Off();
  if (gCaret.timer) KillSystemTimer(gCaret.timer);
  gCaret = CaretState{};
  return TRUE;
}

BOOL ShowCaret(HWND hwnd) {
  if (!gCaret.hwnd || (hwnd && hwnd != gCaret.hwnd) || gCaret.hidden == 0) return FALSE;
  if (--gCaret.hidden == 0) {
    Toggle();
    Restart();
  }
  return TRUE;
}

BOOL HideCaret(HWND hwnd) {
  if (!gCaret.hwnd || (hwnd && hwnd != gCaret.hwnd)) return FALSE;
  Off();
  gCaret.hidden++;
  return TRUE;
}

BOOL SetCaretPos(int x, int y) {
  if (!gCaret.hwnd) return FALSE;
  if (gCaret.pos.x == x && gCaret.pos.y == y) return TRUE;
  Off();
  gCaret.pos = POINT{x, y};
  if (gCaret.hidden == 0) {
    Toggle();
    Restart();
  }
  return TRUE;
}

BOOL GetCaretPos(POINT* p) {
  if (!p || !gCaret.hwnd) return FALSE;
  *p = gCaret.pos;
  return TRUE;
}

BOOL SetCaretBlinkTime(UINT ms) {
  gBlink = ms ? ms : 530;
  if (gCaret.hwnd) Restart();
  return TRUE;
}
