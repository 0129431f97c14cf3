// Alignment of children (the platform's order: top, bottom, left, right, client, custom) and
// anchors of unaligned children.
#include <algorithm>

#include "Controls.h"
#include "ScopeGuard.h"

void TWinControl::AlignControls(TControl* control, TRect& rect) {
  TRect clientRect = rect;  // anchors keep distances to the unadjusted client edges
  AdjustClientRect(rect);
  DoAlign(alTop, control, rect);
  DoAlign(alBottom, control, rect);
  DoAlign(alLeft, control, rect);
  DoAlign(alRight, control, rect);
  DoAlign(alClient, control, rect);
  DoAlign(alCustom, control, rect);
  DoAnchors(clientRect);
  ControlsAligned();
}

void TWinControl::CustomAlignPosition(TControl* control, int& newLeft, int& newTop, int& newWidth,
                                      int& newHeight, TRect& alignRect) {
  (void)control;
  (void)newLeft;
  (void)newTop;
  (void)newWidth;
  (void)newHeight;
  (void)alignRect;
}

void TWinControl::DoAlign(TAlign align, TControl* control, TRect& rect) {
  std::vector<TControl*> list;
  // The control that asked keeps its place ahead of others at the same position.
  auto visibleForAlign = [](TControl* c) { return c->IsControlVisibleInParent(); };
  if (control && control->Align() == align && visibleForAlign(control)) list.push_back(control);
  for (TControl* c : controls_) {
    if (c == control || c->Align() != align || !visibleForAlign(c)) continue;
    list.push_back(c);
  }
  if (list.empty()) return;
  auto key = [align](TControl* c) {
    switch (align) {
      case alTop: return c->Top();
      case alBottom: return -(c->Top() + c->Height());
      case alLeft: return c->Left();
      case alRight: return -(c->Left() + c->Width());
      default: return 0;
    }
  };
  if (align != alClient && align != alCustom) {
    // Stable: equal positions keep the asking control first, then the list order.
    std::stable_sort(list.begin(), list.end(),
                     [&](TControl* a, TControl* b) { return key(a) < key(b); });
  }
  for (TControl* c : list) {
    int newWidth = rect.right - rect.left;
    if (newWidth < 0 || align == alLeft || align == alRight || align == alCustom)
      newWidth = c->Width();
    int newHeight = rect.bottom - rect.top;
    if (newHeight < 0 || align == alTop || align == alBottom || align == alCustom)
      newHeight = c->Height();
    int newLeft = rect.left, newTop = rect.top;
    switch (align) {
      case alTop: rect.top += newHeight; break;
      case alBottom:
        rect.bottom -= newHeight;
        newTop = rect.bottom;
        break;
      case alLeft: rect.left += newWidth; break;
      case alRight:
        rect.right -= newWidth;
        newLeft = rect.right;
        break;
      case alCustom:
        newLeft = c->Left();
        newTop = c->Top();
        CustomAlignPosition(c, newLeft, newTop, newWidth, newHeight, rect);
        break;
      default: break;
    }
    c->anchorMove_ = true;
    {
      ScopeGuard doneMoving([c] { c->anchorMove_ = false; });
      c->SetBounds(newLeft, newTop, newWidth, newHeight);
    }
    // A control that did not take the size asked keeps the rest of the area right.
    if (c->Width() != newWidth || c->Height() != newHeight) {
      switch (align) {
        case alTop: rect.top -= newHeight - c->Height(); break;
        case alBottom: rect.bottom += newHeight - c->Height(); break;
        case alLeft: rect.left -= newWidth - c->Width(); break;
        case alRight: rect.right += newWidth - c->Width(); break;
        case alClient:
          rect.right += c->Width() - newWidth;
          rect.bottom += c->Height() - newHeight;
          break;
        default: break;
      }
    }
  }
}

void TWinControl::DoAnchors(const TRect& clientRect) {
  int pw = RectWidth(clientRect), ph = RectHeight(clientRect);
  for (TControl* c : std::vector<TControl*>(controls_)) {
    if (c->Align() != alNone || !c->anchorRulesValid_) continue;
    TAnchors a = c->Anchors();
    if (!a.Contains(akRight) && !a.Contains(akBottom)) continue;
    int left = c->Left(), top = c->Top(), width = c->Width(), height = c->Height();
    if (a.Contains(akRight)) {
      if (a.Contains(akLeft)) width = std::max(0, pw - c->anchorRight_ - left);
      else left = pw - c->anchorRight_ - width;
    }
    if (a.Contains(akBottom)) {
      if (a.Contains(akTop)) height = std::max(0, ph - c->anchorBottom_ - top);
      else top = ph - c->anchorBottom_ - height;
    }
    if (left == c->Left() && top == c->Top() && width == c->Width() && height == c->Height())
      continue;
    c->anchorMove_ = true;
    ScopeGuard doneMoving([c] { c->anchorMove_ = false; });
    c->SetBounds(left, top, width, height);
  }
}
