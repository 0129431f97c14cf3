// The dock-site interface of windowed controls and the standard dock tree.
#include <algorithm>

#include "Controls.h"

TDockTreeFactory DefaultDockTreeClass = [](TWinControl* site) -> IDockManager* {
  return new TDockTree(site);
};

// ---- The site ----

IDockManager* TWinControl::CreateDockManager() {
  if (!dockManager_ && dockSite_ && useDockManager_) {
    IDockManager* m = DefaultDockTreeClass ? DefaultDockTreeClass(this) : nullptr;
    if (m) SetDoubleBuffered(true);
    return m;
  }
  return dockManager_.get();
}

void TWinControl::SetDockManager(IDockManager* manager) {
  if (manager == dockManager_.get()) return;
  if (dockManager_) dockManager_->Destroying();
  dockManager_.reset(manager);
  if (manager) {
    manager->Initialize();
    for (TControl* c : dockClients_) manager->InsertControl(c, alNone, nullptr);
  }
}

void TWinControl::SetDockSite(bool value) {
  if (value == dockSite_) return;
  dockSite_ = value;
  if (ComponentState().Contains(csDesigning)) return;
  if (!value) {
    for (TControl* c : std::vector<TControl*>(dockClients_)) UndockClient(c);
    SetDockManager(nullptr);
  } else if (useDockManager_) {
    SetDockManager(CreateDockManager());
  }
}

void TWinControl::SetUseDockManager(bool value) {
  if (value == useDockManager_) return;
  useDockManager_ = value;
  if (ComponentState().Contains(csDesigning)) return;
  if (value && dockSite_) SetDockManager(CreateDockManager());
}

int TWinControl::VisibleDockClientCount() const {
  int n = 0;
  for (TControl* c : dockClients_)
    if (c->Visible()) ++n;
  return n;
}

void TWinControl::DockDrop(TControl* control, TAlign align, TControl* dropControl) {
  if (std::find(dockClients_.begin(), dockClients_.end(), control) == dockClients_.end())
    dockClients_.push_back(control);
  control->hostDockSite_ = this;
  if (control->Parent() != this) control->SetParent(this);
  if (useDockManager_ && dockManager_) dockManager_->InsertControl(control, align, dropControl);
  DoAddDockClient(control, control->BoundsRect());
  Invalidate();
}

void TWinControl::UndockClient(TControl* control) {
  auto it = std::find(dockClients_.begin(), dockClients_.end(), control);
  if (it == dockClients_.end()) return;
  dockClients_.erase(it);
  control->hostDockSite_ = nullptr;
  if (dockManager_) dockManager_->RemoveControl(control);
  DoRemoveDockClient(control);
  Invalidate();
}

void TWinControl::DoAddDockClient(TControl* client, const TRect& r) {
  (void)client;
  (void)r;
}

void TWinControl::DoRemoveDockClient(TControl* client) { (void)client; }

// ---- TDockTree ----

TDockTree::TDockTree(TWinControl* dockSite) : dockSite_(dockSite) {}

TDockTree::~TDockTree() = default;

void TDockTree::SetOrientation(TDockOrientation o) {
  if (o == doNoOrient) o = doHorizontal;
  if (o == orientation_) return;
  orientation_ = o;
  ResetBounds(true);
}

void TDockTree::BeginUpdate() { ++updateCount_; }

void TDockTree::EndUpdate() {
  if (--updateCount_ <= 0) {
    updateCount_ = 0;
    ResetBounds(true);
  }
}

void TDockTree::InsertControl(TControl* control, TAlign insertAt, TControl* dropControl) {
  if (std::find(controls_.begin(), controls_.end(), control) != controls_.end()) return;
  if (replacing_) {
    auto it = std::find(controls_.begin(), controls_.end(), replacing_);
    replacing_ = nullptr;
    if (it != controls_.end()) {
      *it = control;
      ResetBounds(true);
      return;
    }
  }
  if (controls_.empty() && (insertAt == alTop || insertAt == alBottom)) orientation_ = doVertical;
  auto drop = std::find(controls_.begin(), controls_.end(), dropControl);
  if (drop != controls_.end()) {
    bool before = insertAt == alLeft || insertAt == alTop;
    controls_.insert(before ? drop : drop + 1, control);
  } else if (insertAt == alLeft || insertAt == alTop) {
    controls_.insert(controls_.begin(), control);
  } else {
    controls_.push_back(control);
  }
  control->SetDockOrientation(orientation_);
  if (control->Parent() != dockSite_) control->SetParent(dockSite_);
  ResetBounds(true);
}

void TDockTree::RemoveControl(TControl* control) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  controls_.erase(it);
  ResetBounds(true);
  if (dockSite_) dockSite_->Invalidate();
}

void TDockTree::SetReplacingControl(TControl* control) { replacing_ = control; }

TRect TDockTree::ZoneRect(int index) {
  // Inside the site's own borders, as its other children are.
  TRect area = dockSite_->ClientRect();
  dockSite_->AdjustClientRect(area);
  int visible = 0, position = -1;
  for (int i = 0; i < int(controls_.size()); ++i) {
    if (!controls_[std::size_t(i)]->Visible()) continue;
    if (i == index) position = visible;
    ++visible;
  }
  if (position < 0 || visible == 0) return TRect{0, 0, 0, 0};
  if (orientation_ == doVertical) {
    int h = RectHeight(area);
    return Rect(area.left, area.top + h * position / visible, area.right,
                area.top + h * (position + 1) / visible);
  }
  int w = RectWidth(area);
  return Rect(area.left + w * position / visible, area.top,
              area.left + w * (position + 1) / visible, area.bottom);
}

void TDockTree::ResetBounds(bool force) {
  (void)force;
  if (updateCount_ > 0 || !dockSite_) return;
  for (int i = 0; i < int(controls_.size()); ++i) {
    TControl* c = controls_[std::size_t(i)];
    if (!c->Visible()) continue;
    TRect r = ZoneRect(i);
    AdjustDockRect(c, r);
    c->SetBoundsRect(r);
  }
}

void TDockTree::GetControlBounds(TControl* control, TRect& controlBounds) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  controlBounds = it == controls_.end() ? TRect{0, 0, 0, 0} : ZoneRect(int(it - controls_.begin()));
}

void TDockTree::PositionDockRect(TControl* client, TControl* dropControl, TAlign dropAlign,
                                 TRect& dockRect) {
  (void)client;
  TRect r = dockSite_->ClientRect();
  auto it = std::find(controls_.begin(), controls_.end(), dropControl);
  if (it != controls_.end()) {
    r = ZoneRect(int(it - controls_.begin()));
    switch (dropAlign) {
      case alLeft: r.right = r.left + RectWidth(r) / 2; break;
      case alRight: r.left = r.left + RectWidth(r) / 2; break;
      case alTop: r.bottom = r.top + RectHeight(r) / 2; break;
      case alBottom: r.top = r.top + RectHeight(r) / 2; break;
      default: break;
    }
  }
  TPoint tl = dockSite_->ClientToScreen(Point(r.left, r.top));
  dockRect = Bounds(tl.x, tl.y, RectWidth(r), RectHeight(r));
}

void TDockTree::PaintSite(HDC dc) {
  TCanvas canvas;
  canvas.SetHandle(dc);
  for (int i = 0; i < int(controls_.size()); ++i) {
    TControl* c = controls_[std::size_t(i)];
    if (!c->Visible()) continue;
    PaintDockFrame(&canvas, c, ZoneRect(i));
  }
  canvas.SetHandle(0);
}

void TDockTree::AdjustDockRect(TControl* control, TRect& r) {
  (void)control;
  TAlign a = dockSite_->Align();
  if (a == alTop || a == alBottom) r.left += grabberSize_;
  else r.top += grabberSize_;
}

void TDockTree::PaintDockFrame(TCanvas* canvas, TControl* control, const TRect& r) {
  (void)control;
  TAlign a = dockSite_->Align();
  TRect bar = (a == alTop || a == alBottom) ? Rect(r.left, r.top, r.left + grabberSize_, r.bottom)
                                            : Rect(r.left, r.top, r.right, r.top + grabberSize_);
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(bar);
  // Two etched lines along the bar, as the platform's grabbers look.
  TRect line = bar;
  if (a == alTop || a == alBottom) {
    line = Rect(bar.left + 3, bar.top + 2, bar.left + 6, bar.bottom - 2);
    DrawEdge(canvas->Handle(), &line, BDR_RAISEDINNER, BF_RECT);
    line = Rect(bar.left + 6, bar.top + 2, bar.left + 9, bar.bottom - 2);
  } else {
    line = Rect(bar.left + 2, bar.top + 3, bar.right - 2, bar.top + 6);
    DrawEdge(canvas->Handle(), &line, BDR_RAISEDINNER, BF_RECT);
    line = Rect(bar.left + 2, bar.top + 6, bar.right - 2, bar.top + 9);
  }
  DrawEdge(canvas->Handle(), &line, BDR_RAISEDINNER, BF_RECT);
}
