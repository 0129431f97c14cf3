// Device layers: a window's bitmap of device pixels that the host shows over part of its client
// area, where the window's own painting reaches the screen, so a screen of a scale above 1
// shows it sharp instead of enlarging the logical pixels.
#include "UserInternal.h"

namespace user {
namespace {

struct Layer {
  HBITMAP bitmap = 0;
  RECT rect{};  // client coordinates of the window
};

std::unordered_map<HWND, Layer>& Layers() {
  static std::unordered_map<HWND, Layer> layers;
  return layers;
}

// Where the layer reaches the screen, in surface coordinates: the window's visible client
// region, less its children, within the layer's rectangle.
Region LayerRegion(const Wnd* w, const Layer& l) {
  RECT sc = SurfaceClientRect(w);
  Region rgn = VisibleRegion(w, false, true);
  return Region::Combine(rgn, Region(Offset(l.rect, sc.left, sc.top)), Region::And);
}

void MarkLayerDirty(HWND hwnd, const Layer& l) {
  Wnd* w = GetWnd(hwnd);
  if (!w || !l.bitmap) return;
  Region rgn = LayerRegion(w, l);
  if (!rgn.Empty()) MarkDirty(RootOf(w), rgn.Box());
}

}  // namespace

std::vector<HostDeviceLayer> DeviceLayersOf(Wnd* top, POINT shift) {
  std::vector<HostDeviceLayer> out;
  for (const auto& [hwnd, l] : Layers()) {
    Wnd* w = GetWnd(hwnd);
    GdiPixels px;
    if (!w || RootOf(w) != top || !GdiGetBitmapPixels(l.bitmap, &px)) continue;
    Region rgn = LayerRegion(w, l);
    if (rgn.Empty()) continue;
    rgn.Offset(shift.x, shift.y);
    RECT sc = SurfaceClientRect(w);
    HostDeviceLayer d;
    d.pixels = px.bits;
    d.width = px.width;
    d.height = px.height;
    d.strideBytes = px.strideBytes;
    d.rect = Offset(l.rect, sc.left + shift.x, sc.top + shift.y);
    d.clip = rgn.Rects();
    out.push_back(std::move(d));
  }
  return out;
}

void ScrollDeviceLayer(HWND hwnd, int dx, int dy, const RECT* scroll) {
  auto it = Layers().find(hwnd);
  if (it == Layers().end()) return;
  // Scrolled with the client pixels it lies on.
  if (scroll && Empty(Intersect(*scroll, it->second.rect))) return;
  it->second.rect = Offset(it->second.rect, dx, dy);
}

void DropDeviceLayer(HWND hwnd) { Layers().erase(hwnd); }

void ResetDeviceLayers() { Layers().clear(); }

}  // namespace user

using namespace user;

double UserDeviceScale(HWND hwnd) {
  Wnd* w = GetWnd(hwnd);
  Wnd* top = w ? RootOf(w) : nullptr;
  HostWindowDriver* host = Host();
  double scale = host ? host->SurfaceScale(top ? top->handle : 0) : 1.0;
  return scale > 1 ? scale : 1.0;
}

BOOL UserSetDeviceLayer(HWND hwnd, HBITMAP bitmap, const RECT* clientRect) {
  Wnd* w = GetWndOrError(hwnd);
  if (!w || w == Desktop()) return FALSE;
  GdiPixels px;
  if (bitmap && (!clientRect || Empty(*clientRect) || !GdiGetBitmapPixels(bitmap, &px)))
    return FALSE;
  // What the old layer covered shows the window's own pixels again.
  auto it = Layers().find(hwnd);
  if (it != Layers().end()) {
    MarkLayerDirty(hwnd, it->second);
    Layers().erase(it);
  }
  if (!bitmap) return TRUE;
  Layer l{bitmap, *clientRect};
  Layers()[hwnd] = l;
  MarkLayerDirty(hwnd, l);
  return TRUE;
}
