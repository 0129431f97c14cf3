// The window system's drawing helpers in the classic look: DrawEdge and DrawFrameControl.
#include "UserInternal.h"

namespace user {
namespace {

// Colours of the two rings by the BDR_ bits (index edge & 15); -1 draws nothing. A lone inner
// ring is drawn in the outer position with the inner ring's colours.
// clang-format off
constexpr signed char kLTInner[16] = {-1, -1, -1, -1, -1, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT,
                                      -1, -1, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, -1,
                                      -1, -1, -1, -1};
constexpr signed char kLTOuter[16] = {-1, COLOR_3DLIGHT, COLOR_BTNSHADOW, -1,
                                      COLOR_BTNHIGHLIGHT, COLOR_3DLIGHT, COLOR_BTNSHADOW, -1,
                                      COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_BTNSHADOW, -1,
                                      -1, COLOR_3DLIGHT, COLOR_BTNSHADOW, -1};
constexpr signed char kRBInner[16] = {-1, -1, -1, -1, -1, COLOR_BTNSHADOW, COLOR_BTNSHADOW, -1,
                                      -1, COLOR_3DLIGHT, COLOR_3DLIGHT, -1, -1, -1, -1, -1};
constexpr signed char kRBOuter[16] = {-1, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, -1,
                                      COLOR_BTNSHADOW, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, -1,
                                      COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, -1,
                                      -1, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, -1};
constexpr signed char kLTInnerSoft[16] = {-1, -1, -1, -1, -1, COLOR_3DLIGHT, COLOR_3DLIGHT, -1,
                                          -1, COLOR_BTNSHADOW, COLOR_BTNSHADOW, -1, -1, -1, -1, -1};
constexpr signed char kLTOuterSoft[16] = {-1, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, -1,
                                          COLOR_3DLIGHT, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, -1,
                                          COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, -1,
                                          -1, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, -1};
// clang-format on

void Ring(HDC dc, RECT& r, int lt, int rb, UINT sides) {
  if (lt < 0 && rb < 0) return;
  if (lt >= 0) {
    if (sides & BF_TOP) FillSys(dc, RECT{r.left, r.top, r.right, r.top + 1}, lt);
    if (sides & BF_LEFT) FillSys(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, lt);
  }
  if (rb >= 0) {
    if (sides & BF_BOTTOM) FillSys(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, rb);
    if (sides & BF_RIGHT) FillSys(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, rb);
  }
  if (sides & BF_LEFT) r.left++;
  if (sides & BF_TOP) r.top++;
  if (sides & BF_RIGHT) r.right--;
  if (sides & BF_BOTTOM) r.bottom--;
}

// A filled arrow head pointing dir (0 up, 1 down, 2 left, 3 right) centred in r.
// size: the button's smaller side, edges included, which the arrow is scaled to (a 16-pixel
// scroll or combo button gets a 7 x 4 arrow).
void Arrow(HDC dc, const RECT& r, int dir, int color, int size) {
  int w = r.right - r.left, h = r.bottom - r.top;
  int depth = std::max(2, (size - 4) / 3);
  int span = 2 * depth - 1;
  bool vertical = dir <= 1;
  int cx = r.left + (w - (vertical ? span : depth)) / 2;
  int cy = r.top + (h - (vertical ? depth : span)) / 2;
  for (int i = 0; i < depth; ++i) {
    int len = 2 * (i + 1) - 1;  // the tip is one pixel
    int off = depth - 1 - i;
    switch (dir) {
      case 0: FillSys(dc, RECT{cx + off, cy + i, cx + off + len, cy + i + 1}, color); break;
      case 1:
        FillSys(dc, RECT{cx + off, cy + depth - 1 - i, cx + off + len, cy + depth - i}, color);
        break;
      case 2: FillSys(dc, RECT{cx + i, cy + off, cx + i + 1, cy + off + len}, color); break;
      default:
        FillSys(dc, RECT{cx + depth - 1 - i, cy + off, cx + depth - i, cy + off + len}, color);
        break;
    }
  }
}

void CaptionGlyph(HDC dc, const RECT& r, UINT kind, int color) {
  int w = r.right - r.left, h = r.bottom - r.top;
  // The glyph nearly fills the face inside the edges: a 16 x 14 button gets an 8-pixel glyph.
  int gw = std::max(4, std::min(w, h) - 2);
  int x = r.left + (w - gw) / 2, y = r.top + (h - gw) / 2;
  switch (kind) {
    case DFCS_CAPTIONCLOSE:
      for (int i = 0; i < gw; ++i) {
        FillSys(dc, RECT{x + i, y + i, x + i + 2, y + i + 1}, color);
        FillSys(dc, RECT{x + gw - 1 - i - 1, y + i, x + gw - i, y + i + 1}, color);
      }
      break;
    case DFCS_CAPTIONMIN: FillSys(dc, RECT{x + 1, y + gw - 2, x + gw - 1, y + gw}, color); break;
    case DFCS_CAPTIONMAX: {
      RECT b{x, y, x + gw, y + gw};
      FillSys(dc, RECT{b.left, b.top, b.right, b.top + 2}, color);
      FillSys(dc, RECT{b.left, b.top, b.left + 1, b.bottom}, color);
      FillSys(dc, RECT{b.right - 1, b.top, b.right, b.bottom}, color);
      FillSys(dc, RECT{b.left, b.bottom - 1, b.right, b.bottom}, color);
      break;
    }
    case DFCS_CAPTIONRESTORE: {
      int s = gw * 2 / 3;
      for (int k = 0; k < 2; ++k) {
        RECT b = k ? RECT{x, y + gw - s, x + s, y + gw} : RECT{x + gw - s, y, x + gw, y + s};
        FillSys(dc, RECT{b.left, b.top, b.right, b.top + 2}, color);
        FillSys(dc, RECT{b.left, b.top, b.left + 1, b.bottom}, color);
        FillSys(dc, RECT{b.right - 1, b.top, b.right, b.bottom}, color);
        FillSys(dc, RECT{b.left, b.bottom - 1, b.right, b.bottom}, color);
        if (k == 0) FillSys(dc, RECT{x + 1, y + gw - s + 2, x + s - 1, y + gw - 1}, COLOR_BTNFACE);
      }
      break;
    }
    case DFCS_CAPTIONHELP: {
      RECT t = r;
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(color));
      DrawTextW(dc, u"?", 1, &t, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
      break;
    }
  }
}

}  // namespace
}  // namespace user

using namespace user;

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags) {
  if (!rect) return FALSE;
  RECT r = *rect;
  int idx = int(edge & (BDR_INNER | BDR_OUTER));
  int ltO, rbO, ltI, rbI;
  if (flags & BF_MONO) {
    ltO = rbO = COLOR_WINDOWFRAME;
    ltI = rbI = (edge & BDR_INNER) && (edge & BDR_OUTER) ? COLOR_WINDOW : -1;
  } else if (flags & BF_FLAT) {
    ltO = rbO = COLOR_BTNSHADOW;
    ltI = rbI = (edge & BDR_INNER) && (edge & BDR_OUTER) ? COLOR_BTNFACE : -1;
  } else {
    bool soft = flags & BF_SOFT;
    ltO = (soft ? kLTOuterSoft : kLTOuter)[idx];
    rbO = kRBOuter[idx];
    ltI = (soft ? kLTInnerSoft : kLTInner)[idx];
    rbI = kRBInner[idx];
  }
  UINT sides = flags & BF_RECT;
  Ring(dc, r, ltO, rbO, sides);
  Ring(dc, r, ltI, rbI, sides);
  if (flags & BF_MIDDLE) FillSys(dc, r, (flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE);
  if (flags & BF_ADJUST) *rect = r;
  return TRUE;
}

BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) {
  if (!rect) return FALSE;
  RECT r = *rect;
  bool pushed = state & (DFCS_PUSHED | DFCS_CHECKED);
  bool inactive = state & DFCS_INACTIVE;
  switch (type) {
    case DFC_BUTTON: {
      UINT kind = state & 0x1F;
      if (kind & DFCS_BUTTONPUSH) {
        if (state & DFCS_FLAT)
          DrawEdge(dc, &r, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                   BF_RECT | BF_MIDDLE | BF_FLAT);
        else if (pushed) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_MIDDLE);
        else DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);
        break;
      }
      // Check and radio boxes: a 13-pixel sunken box with the mark.
      int s = std::min(13, std::min(r.right - r.left, r.bottom - r.top));
      RECT b{r.left, r.top + (r.bottom - r.top - s) / 2, r.left + s, 0};
      b.bottom = b.top + s;
      DrawEdge(dc, &b, EDGE_SUNKEN, BF_RECT | BF_ADJUST | ((state & DFCS_FLAT) ? BF_FLAT : 0));
      FillSys(dc, b, (inactive || (state & DFCS_PUSHED)) ? COLOR_BTNFACE : COLOR_WINDOW);
      if (state & DFCS_CHECKED) {
        int c = inactive ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT;
        if (kind & DFCS_BUTTONRADIO) {
          FillSys(dc, RECT{b.left + 3, b.top + 3, b.right - 3, b.bottom - 3}, c);
        } else {
          for (int i = 0; i < 7; ++i) {
            int y = i < 2 ? 4 + i : 6 - (i - 2);
            FillSys(dc, RECT{b.left + 1 + i, b.top + y - 1, b.left + 2 + i, b.top + y + 2}, c);
          }
        }
      }
      break;
    }
    case DFC_CAPTION: {
      if (pushed) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_ADJUST);
      else DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE | BF_ADJUST);
      if (pushed) r = Offset(r, 1, 1);
      UINT kind = state & 0xFF;
      if (inactive) CaptionGlyph(dc, Offset(r, 1, 1), kind, COLOR_BTNHIGHLIGHT);
      CaptionGlyph(dc, r, kind, inactive ? COLOR_BTNSHADOW : COLOR_BTNTEXT);
      break;
    }
    case DFC_SCROLL: {
      UINT kind = state & 0xFF;
      if (kind == DFCS_SCROLLSIZEGRIP) {
        FillSys(dc, r, COLOR_BTNFACE);
        // Three diagonal ridges towards the bottom-right corner.
        for (int o = 4; o <= 12; o += 4)
          for (int k = 0; k < o; ++k) {
            int x = r.right - o + k, y = r.bottom - 1 - k;
            if (x < r.left || y < r.top) continue;
            FillSys(dc, RECT{x, y, x + 1, y + 1}, COLOR_BTNHIGHLIGHT);
            if (x + 1 < r.right) FillSys(dc, RECT{x + 1, y, x + 2, y + 1}, COLOR_BTNSHADOW);
          }
        break;
      }
      if (pushed && (state & DFCS_FLAT))
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE | BF_FLAT | BF_ADJUST);
      else if (pushed) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_ADJUST);
      else DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
      int dir = kind == DFCS_SCROLLUP      ? 0
                : kind == DFCS_SCROLLLEFT  ? 2
                : kind == DFCS_SCROLLRIGHT ? 3
                                           : 1;
      RECT a = pushed ? Offset(r, 1, 1) : r;
      int size = std::min(rect->right - rect->left, rect->bottom - rect->top);
      if (inactive) {
        Arrow(dc, Offset(a, 1, 1), dir, COLOR_BTNHIGHLIGHT, size);
        Arrow(dc, a, dir, COLOR_BTNSHADOW, size);
      } else {
        Arrow(dc, a, dir, COLOR_BTNTEXT, size);
      }
      break;
    }
    default: return FALSE;
  }
  if (state & DFCS_ADJUSTRECT) InflateRect(rect, -2, -2);
  return TRUE;
}
