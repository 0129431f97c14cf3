#include "RzPanel.h"

#include <algorithm>

#include "Forms.h"
#include "GraphicsTypeInfo.h"
#include "RzGrafx.h"
#include "RzOldPropReader.h"
#include "Streaming.h"

// ---- TRzCustomPanel ----

TRzCustomPanel::TRzCustomPanel(TComponent* owner)
    : TCustomPanel(owner), FEnabledList(std::make_unique<TStringList>()) {
  RegisterRzPanelClasses();
  TControlStyle style = ControlStyle();
  style.Exclude(csSetCaption);
  style.Exclude(csParentBackground);
  style.Include(csOpaque);
  SetControlStyle(style);
  // Every border comes from this class's own styles.
  SetBevelOuter(bvNone);
}

TRzCustomPanel::~TRzCustomPanel() {
  if (FFrameController) FFrameController->RemoveControl(this);
}

String TRzCustomPanel::ClassName() const { return u"TRzCustomPanel"; }

void TRzCustomPanel::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND:
      if (FTransparent && FPaintClientArea) {
        CopyParentBackground(this, static_cast<HDC>(message.WParam), true);
        message.Result = 1;
        return;
      }
      break;
    case WM_WINDOWPOSCHANGED:
      if (const auto* pos = reinterpret_cast<const WINDOWPOS*>(message.LParam);
          pos && HandleAllocated())
        RepaintAfterResize(*pos);
      // Past the base panel, whose own strip rule knows only its bevels.
      TCustomControl::Dispatch(message);
      return;
    case WM_THEMECHANGED:
      TCustomPanel::Dispatch(message);
      XpColorScheme = DetectXpColorScheme();
      return;
    case CM_ENABLEDCHANGED:
      TCustomPanel::Dispatch(message);
      Repaint();
      EnableChildControls(Enabled());
      return;
    case CM_MOUSEENTER:
      if (ComponentState().Contains(csDesigning)) return;
      break;
    default: break;
  }
  TCustomPanel::Dispatch(message);
}

void TRzCustomPanel::RepaintAfterResize(const WINDOWPOS& pos) {
  if (FullRepaint() || !GetText().empty()) {
    Invalidate();
    return;
  }
  if (pos.flags & SWP_NOSIZE) return;
  // Measured on the smaller of the two sizes: when the panel shrinks, its far borders come
  // to lie inside the old area and must be painted there.
  const int w = std::min(pos.cx, Width()), h = std::min(pos.cy, Height());
  const int farX = std::max(pos.cx, Width()), farY = std::max(pos.cy, Height());
  TRect inner = Rect(0, 0, w, h);
  AdjustRectForBorders(inner, true);
  const TPoint margin = GetRepaintMargin();
  if (pos.cx != Width()) {
    TRect strip = Rect(inner.right - margin.x, 0, farX, farY);
    InvalidateRect(WindowHandle(), &strip, TRUE);
  }
  if (pos.cy != Height()) {
    TRect strip = Rect(0, inner.bottom - margin.y, farX, farY);
    InvalidateRect(WindowHandle(), &strip, TRUE);
  }
}

void TRzCustomPanel::SetBounds(int left, int top, int width, int height) {
  if (Align() == alBottom && height != Height()) top = Top() + Height() - height;
  if (Align() == alRight && width != Width()) left = Left() + Width() - width;
  TCustomPanel::SetBounds(left, top, width, height);
}

void TRzCustomPanel::DefineProperties(TFiler* filer) {
  TCustomPanel::DefineProperties(filer);
  filer->DefineProperty(u"FrameSides", TRzOldPropReader::ReadOldSetProp, nullptr, false);
  filer->DefineProperty(u"ThemeAware", TRzOldPropReader::ReadOldBooleanProp, nullptr, false);
  filer->DefineProperty(
      u"UseGradients",
      [this](TReader* reader) {
        if (reader->ReadBoolean()) SetVisualStyle(vsGradient);
      },
      nullptr, false);
}

void TRzCustomPanel::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation == opRemove && component == FFrameController) FFrameController = nullptr;
}

void TRzCustomPanel::AdjustRectForBorders(TRect& r, bool includeBorderWidth) {
  if (includeBorderWidth) InflateRect(&r, -BorderWidth(), -BorderWidth());
  auto shrink = [&](TFrameStyleEx style) {
    int w = 2;
    switch (style) {
      case fsNone: w = 0; break;
      case fsFlat: w = 1; break;
      case fsStatus:
      case fsPopup: w = BevelWidth(); break;
      default: break;
    }
    if (FBorderSides.Contains(sdLeft)) r.left += w;
    if (FBorderSides.Contains(sdTop)) r.top += w;
    if (FBorderSides.Contains(sdRight)) r.right -= w;
    if (FBorderSides.Contains(sdBottom)) r.bottom -= w;
  };
  shrink(FBorderOuter);
  shrink(FBorderInner);
}

void TRzCustomPanel::AdjustClientRect(TRect& rect) {
  TCustomPanel::AdjustClientRect(rect);
  if (DockSite()) AdjustRectForBorders(rect, false);
}

void TRzCustomPanel::AlignControls(TControl* control, TRect& rect) {
  AdjustRectForBorders(rect, false);
  TCustomPanel::AlignControls(control, rect);
}

TPoint TRzCustomPanel::GetCursorPosition() {
  POINT p{0, 0};
  GetCursorPos(&p);
  return ScreenToClient(Point(p.x, p.y));
}

TRect TRzCustomPanel::GetPaintRect() { return Rect(0, 0, Width(), Height()); }

TPoint TRzCustomPanel::GetRepaintMargin() { return Point(1, 1); }

void TRzCustomPanel::GetGradientColors(TColor& startColor, TColor& stopColor) {
  if (FGradientColorStyle == gcsCustom) {
    startColor = FGradientColorStart;
    stopColor = FGradientColorStop;
  } else {
    SchemeGradientColors(FGradientColorStyle, startColor, stopColor);
  }
}

void TRzCustomPanel::GetFlatColors(TColor& flatColor, int& adjustment) {
  if (FVisualStyle == vsGradient && FGradientColorStyle != gcsCustom) {
    flatColor = SchemeFrameColor(FGradientColorStyle);
    adjustment = 0;
  } else {
    flatColor = FFlatColor;
    adjustment = FFlatColorAdjustment;
  }
}

void TRzCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = GetPaintRect();
  TColor flatColor;
  int adjustment;
  GetFlatColors(flatColor, adjustment);
  const TColor parentColor = Parent() ? Parent()->Color() : clBtnFace;
  r = PaintPanelBorders(canvas, r, FBorderOuter, FBorderInner, BorderWidth(), FBorderSides,
                        BevelWidth(), FBorderColor, FBorderHighlight, FBorderShadow, flatColor,
                        adjustment, Color(), parentColor, FTransparent);

  if (!FTransparent && FPaintClientArea) {
    const TRect inside = r;
    // A rounded border cuts its corners: the fill reaches under the outline and the corner
    // pixels take the outline's colour.
    const bool rounded =
        (FBorderOuter == fsFlatRounded && FBorderInner == fsNone && BorderWidth() == 0) ||
        FBorderInner == fsFlatRounded;
    if (rounded) {
      if (FBorderSides.Contains(sdLeft)) --r.left;
      if (FBorderSides.Contains(sdTop)) --r.top;
      if (FBorderSides.Contains(sdRight)) ++r.right;
      if (FBorderSides.Contains(sdBottom)) ++r.bottom;
    }
    if (FVisualStyle == vsGradient) {
      TColor start, stop;
      GetGradientColors(start, stop);
      FillGradientRect(canvas, r, FGradientDirection, start, stop, 1);
    } else {
      canvas->Brush()->SetStyle(bsSolid);
      canvas->Brush()->SetColor(Color());
      canvas->FillRect(r);
    }
    if (rounded) {
      const TColor corner = ShiftColorLightness(flatColor, adjustment);
      const bool l = FBorderSides.Contains(sdLeft), t = FBorderSides.Contains(sdTop),
                 rt = FBorderSides.Contains(sdRight), b = FBorderSides.Contains(sdBottom);
      if (l && t) canvas->SetPixels(r.left, r.top, corner);
      if (t && rt) canvas->SetPixels(r.right - 1, r.top, corner);
      if (rt && b) canvas->SetPixels(r.right - 1, r.bottom - 1, corner);
      if (l && b) canvas->SetPixels(r.left, r.bottom - 1, corner);
    }
    r = inside;
  }

  if (FShowGrid) DrawGrid(r);
  canvas->Brush()->SetStyle(bsClear);
  DrawCaption(r);
  canvas->Brush()->SetStyle(bsSolid);
  if (OnPaint) OnPaint(this);
}

void TRzCustomPanel::DrawCaption(const TRect& rect) {
  const String caption = GetText();
  if (caption.empty()) return;
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  TRect r = rect;
  InflateRect(&r, -FTextMargin, -FTextMarginVertical);
  UINT flags = FWordWrap ? DT_WORDBREAK : 0;
  switch (Alignment()) {
    case taLeftJustify: flags |= DT_LEFT; break;
    case taRightJustify: flags |= DT_RIGHT; break;
    case taCenter: flags |= DT_CENTER; break;
  }
  TRect measured = r;
  const int h =
      DrawTextIn(canvas, caption, measured, DT_CALCRECT | DT_EXPANDTABS | DT_VCENTER | flags);
  switch (FAlignmentVertical) {
    case avTop:
      if (r.top + h < r.bottom) r.bottom = r.top + h;
      break;
    case avCenter:
      r.top = (r.bottom + r.top - h) / 2;  // truncates towards zero
      if (r.top + h < r.bottom) r.bottom = r.top + h;
      break;
    case avBottom:
      if (r.bottom - h - 1 > r.top) r.top = r.bottom - h - 1;
      break;
  }
  canvas->Brush()->SetStyle(bsClear);
  if (!Enabled()) canvas->Font()->SetColor(clGrayText);
  DrawTextIn(canvas, caption, r, DT_EXPANDTABS | DT_VCENTER | flags);
}

void TRzCustomPanel::DrawGrid(const TRect& rect) {
  TCanvas* canvas = Canvas();
  const int xs = FGridXSize, ys = FGridYSize;
  // A spacing of 0 draws nothing along that axis.
  const int nx = xs ? (rect.right - rect.left) / xs : 0;
  const int ny = ys ? (rect.bottom - rect.top) / ys : 0;
  canvas->Pen()->SetColor(FGridColor);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetStyle(psSolid);
  if (FGridStyle == gsDots) {
    for (int i = 1; i <= nx; ++i)
      for (int j = 1; j <= ny; ++j)
        canvas->SetPixels(rect.left - 1 + xs * i, rect.top - 1 + ys * j, FGridColor);
    return;
  }
  const bool dotted = FGridStyle == gsDottedLines;
  auto vertical = [&](int x) {
    if (!dotted) {
      canvas->MoveTo(x, rect.top);
      canvas->LineTo(x, rect.bottom);
      return;
    }
    canvas->MoveTo(x, rect.top + 1);
    for (int y = rect.top + 1; y < rect.bottom; y += 2) canvas->SetPixels(x, y, FGridColor);
  };
  auto horizontal = [&](int y) {
    if (!dotted) {
      canvas->MoveTo(rect.left, y);
      canvas->LineTo(rect.right, y);
      return;
    }
    canvas->MoveTo(rect.left + 1, y);
    for (int x = rect.left + 1; x < rect.right; x += 2) canvas->SetPixels(x, y, FGridColor);
  };
  for (int i = 1; i <= nx; ++i) vertical(rect.left - 1 + xs * i);
  for (int j = 1; j <= ny; ++j) horizontal(rect.top - 1 + ys * j);
}

void TRzCustomPanel::FrameSettingsChanged() {
  TRzFrameController* c = FFrameController;
  if (!c || !c->FrameVisible()) return;
  const auto& n = FFrameControllerNotifications;
  if (n.Contains(fcpFrameStyle)) FBorderOuter = c->FrameStyle();
  if (n.Contains(fcpFrameSides)) FBorderSides = c->FrameSides();
  if (n.Contains(fcpFrameColor)) {
    FFlatColor = c->FrameColor();
    FFlatColorAdjustment = 0;
  }
  if (n.Contains(fcpColor)) SetColor(c->Color());
  if (n.Contains(fcpParentColor)) SetParentColor(c->ParentColor());
  if (n.Contains(fcpColor)) {
    FBorderHighlight = LightenColor(Color(), 100);
    FBorderShadow = DarkenColor(Color(), 50);
  }
  Invalidate();
}

void TRzCustomPanel::EnableChildControls(bool enable) {
  if (!enable) {
    FEnabledList->Clear();
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* child = Controls(i);
      FEnabledList->AddObject(child->Enabled() ? u"1" : u"0", child);
    }
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetEnabled(false);
    return;
  }
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    const int index = FEnabledList->IndexOfObject(child);
    if (index < 0 || FEnabledList->Strings(index) == u"1") child->SetEnabled(true);
  }
}

void TRzCustomPanel::InvalidateChildren() {
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->Invalidate();
}

IDockManager* TRzCustomPanel::CreateDockManager() {
  IDockManager* manager = DockManager();
  if (!manager && DockSite() && UseDockManager()) manager = new TRzPanelDockManager(this);
  SetDoubleBuffered(DoubleBuffered() || manager != nullptr);
  return manager;
}

// ---- Setters ----

#define RZ_PANEL_SETTER(Name, Type, Field, After) \
  void TRzCustomPanel::Set##Name(Type value) {    \
    if (Field == value) return;                   \
    Field = value;                                \
    After;                                        \
  }

RZ_PANEL_SETTER(AlignmentVertical, TAlignmentVertical, FAlignmentVertical, Invalidate())
RZ_PANEL_SETTER(BorderColor, TColor, FBorderColor, Invalidate())
RZ_PANEL_SETTER(BorderInner, TFrameStyleEx, FBorderInner, (Realign(), Invalidate()))
RZ_PANEL_SETTER(BorderOuter, TFrameStyleEx, FBorderOuter, (Realign(), Invalidate()))
RZ_PANEL_SETTER(BorderSides, TSides, FBorderSides, (Realign(), Invalidate()))
RZ_PANEL_SETTER(BorderHighlight, TColor, FBorderHighlight, Invalidate())
RZ_PANEL_SETTER(BorderShadow, TColor, FBorderShadow, Invalidate())
RZ_PANEL_SETTER(FlatColor, TColor, FFlatColor, Invalidate())
RZ_PANEL_SETTER(FlatColorAdjustment, int, FFlatColorAdjustment, Invalidate())
RZ_PANEL_SETTER(GradientColorStyle, TRzGradientColorStyle, FGradientColorStyle, Invalidate())
RZ_PANEL_SETTER(GradientColorStart, TColor, FGradientColorStart,
                (Invalidate(), InvalidateTransparentChildren(this)))
RZ_PANEL_SETTER(GradientColorStop, TColor, FGradientColorStop,
                (Invalidate(), InvalidateTransparentChildren(this)))
RZ_PANEL_SETTER(GradientDirection, TGradientDirection, FGradientDirection,
                (Invalidate(), InvalidateTransparentChildren(this)))
RZ_PANEL_SETTER(GridColor, TColor, FGridColor, Invalidate())
RZ_PANEL_SETTER(GridStyle, TRzGridStyle, FGridStyle, Invalidate())
RZ_PANEL_SETTER(PaintClientArea, bool, FPaintClientArea, Invalidate())
RZ_PANEL_SETTER(ShowGrid, bool, FShowGrid, Invalidate())
RZ_PANEL_SETTER(TextMargin, int, FTextMargin, Invalidate())
RZ_PANEL_SETTER(TextMarginVertical, int, FTextMarginVertical, Invalidate())
RZ_PANEL_SETTER(WordWrap, bool, FWordWrap, Invalidate())
RZ_PANEL_SETTER(VisualStyle, TRzVisualStyle, FVisualStyle, Invalidate())
#undef RZ_PANEL_SETTER

void TRzCustomPanel::SetGridXSize(int value) {
  const auto v = static_cast<std::uint16_t>(value);
  if (FGridXSize == v) return;
  FGridXSize = v;
  Invalidate();
}

void TRzCustomPanel::SetGridYSize(int value) {
  const auto v = static_cast<std::uint16_t>(value);
  if (FGridYSize == v) return;
  FGridYSize = v;
  Invalidate();
}

void TRzCustomPanel::SetGridSize(int xSize, int ySize) {
  SetGridXSize(xSize);
  SetGridYSize(ySize);
}

void TRzCustomPanel::SetTransparent(bool value) {
  if (FTransparent == value) return;
  FTransparent = value;
  TControlStyle style = ControlStyle();
  if (value) style.Exclude(csOpaque);
  else style.Include(csOpaque);
  SetControlStyle(style);
  Invalidate();
  InvalidateChildren();
}

void TRzCustomPanel::SetFrameController(TRzFrameController* value) {
  // Setting the same controller again registers the panel afresh.
  if (FFrameController) FFrameController->RemoveControl(this);
  FFrameController = value;
  if (value) {
    value->AddControl(this);
    value->FreeNotification(this);
  }
}

// ---- TRzPanelDockManager ----

struct TRzPanelDockManager::HookState {
  TRzPanelDockManager* manager;
  TWndMethod previous;
};

// The site's window procedure while the manager lives. A hook chained over it later keeps a
// copy of this one, so the state it reads is shared: once the manager is gone it only passes
// messages on.
struct TRzPanelDockManager::SiteHook {
  std::shared_ptr<HookState> state;
  void operator()(TMessage& message) const {
    if (state->manager) state->manager->DockSiteWndProc(message);
    else if (state->previous) state->previous(message);
  }
};

TRzPanelDockManager::TRzPanelDockManager(TWinControl* dockSite)
    : TDockTree(dockSite),
      FPanel(dynamic_cast<TRzCustomPanel*>(dockSite)),
      FFont(std::make_unique<TFont>()),
      FCloseFont(std::make_unique<TFont>()) {
  if (!FPanel) throw EInvalidCast(u"Invalid class typecast");
  grabberSize_ = FGrabberSize;
  FFont->SetName(u"Verdana");
  FFont->SetSize(8);
  FCloseFont->SetName(u"Marlett");
  FCloseFont->SetSize(8);
  if (!dockSite->ComponentState().Contains(csDesigning)) {
    FOldWndProc = std::make_shared<HookState>(HookState{this, dockSite->WindowProc});
    dockSite->WindowProc = SiteHook{FOldWndProc};
  }
}

TRzPanelDockManager::~TRzPanelDockManager() {
  if (!FOldWndProc) return;
  if (Hooked() && dockSite_->WindowProc.target<SiteHook>()) {
    dockSite_->WindowProc = FOldWndProc->previous;
  } else {
    // Another hook took the procedure over after this one and holds on to it: putting the
    // saved procedure back would cut that hook out, so this link stays and passes through.
    FOldWndProc->manager = nullptr;
  }
  FOldWndProc.reset();
}

bool TRzPanelDockManager::Hooked() const {
  if (!FOldWndProc) return false;
  const SiteHook* hook = dockSite_->WindowProc.target<SiteHook>();
  return hook && hook->state == FOldWndProc;
}

void TRzPanelDockManager::DockSiteWndProc(TMessage& message) {
  if (message.Msg == WM_COMMAND || message.Msg == WM_MOUSEACTIVATE) dockSite_->Invalidate();
  if (FOldWndProc && FOldWndProc->previous) FOldWndProc->previous(message);
}

void TRzPanelDockManager::AdjustDockRect(TControl* control, TRect& r) {
  (void)control;
  const TAlign a = FPanel->Align();
  if (a == alTop || a == alBottom) r.left += FGrabberSize;
  else r.top += FGrabberSize;
}

void TRzPanelDockManager::DrawVerticalCaption(TCanvas* canvas, const String& text,
                                              const TRect& bar) {
  HDC dc = canvas->Handle();
  const UINT savedAlign = SetTextAlign(dc, TA_BASELINE);
  HFONT rotated = CreateRotatedFont(FFont.get(), 90);
  canvas->Font()->SetHandle(rotated);
  canvas->Font()->SetColor(clCaptionText);
  canvas->TextRect(bar, bar.right - 2, bar.bottom - 3, text);
  SetTextAlign(canvas->Handle(), savedAlign);
}

void TRzPanelDockManager::PaintDockFrame(TCanvas* canvas, TControl* control, const TRect& a) {
  if (!FPanel->ShowDockClientCaptions()) {
    TDockTree::PaintDockFrame(canvas, control, a);
    return;
  }
  const String text = control->GetText();
  canvas->SetFont(FFont.get());
  auto* windowed = dynamic_cast<TWinControl*>(control);
  const bool active = !windowed || windowed->Focused();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(active ? clActiveCaption : clInactiveCaption);
  canvas->Font()->SetColor(active ? clCaptionText : clInactiveCaptionText);

  const TAlign align = FPanel->Align();
  TRect glyph;
  if (align == alTop || align == alBottom) {
    DrawVerticalCaption(canvas, text, Rect(a.left, a.top, a.left + FGrabberSize, a.bottom));
    glyph = Rect(a.left + 1, a.top + 1, a.left + FGrabberSize - 2, a.top + 12);
  } else {
    const TRect bar = Rect(a.left, a.top, a.right, a.top + FGrabberSize);
    canvas->TextRect(bar, bar.left + 2, bar.top, text);
    glyph = Rect(a.right - FGrabberSize - 1, a.top + 1, a.right - 2, a.top + 12);
  }
  // The glyph stands upright on either bar: the rotated caption font is not kept for it.
  const TColor textColor = canvas->Font()->Color();
  canvas->SetFont(FFont.get());
  canvas->Font()->SetName(FCloseFont->Name());
  canvas->Font()->SetColor(textColor);
  canvas->TextRect(glyph, glyph.left, glyph.top, u"r");
}

// ---- Property tables ----

void RegisterRzPanelClasses() {
  static const bool done = [] {
    RegisterClassLibrary();
    Published<TRzCustomPanel>(u"TRzCustomPanel", u"TCustomPanel")
        // The base panel's bevels are not used; its constructor value is not news.
        .Ord(u"BevelOuter", TypeInfoTBevelCut(), &TCustomPanel::BevelOuter,
             &TCustomPanel::SetBevelOuter, bvNone)
        .Stored(false)
        .Ord(u"BorderInner", TypeInfoTFrameStyleEx(), &TRzCustomPanel::BorderInner,
             &TRzCustomPanel::SetBorderInner, fsNone)
        .Ord(u"BorderOuter", TypeInfoTFrameStyleEx(), &TRzCustomPanel::BorderOuter,
             &TRzCustomPanel::SetBorderOuter, fsRaised)
        .Ord(u"BorderSides", TypeInfoTSides(), &TRzCustomPanel::BorderSides,
             &TRzCustomPanel::SetBorderSides, sdAllSides)
        .Ord(u"BorderColor", TypeInfoTColor(), &TRzCustomPanel::BorderColor,
             &TRzCustomPanel::SetBorderColor, clBtnFace)
        .Ord(u"BorderHighlight", TypeInfoTColor(), &TRzCustomPanel::BorderHighlight,
             &TRzCustomPanel::SetBorderHighlight, clBtnHighlight)
        .Ord(u"BorderShadow", TypeInfoTColor(), &TRzCustomPanel::BorderShadow,
             &TRzCustomPanel::SetBorderShadow, clBtnShadow)
        .Ord(u"FlatColor", TypeInfoTColor(), &TRzCustomPanel::FlatColor,
             &TRzCustomPanel::SetFlatColor, clBtnShadow)
        // Always written: with a default of 0 a stored 0 would be left out and reload as the
        // constructor's 30.
        .Int(u"FlatColorAdjustment", &TRzCustomPanel::FlatColorAdjustment,
             &TRzCustomPanel::SetFlatColorAdjustment)
        .Object(u"FrameController", &TRzCustomPanel::FrameController,
                &TRzCustomPanel::SetFrameController)
        .Ord(u"FrameControllerNotifications", TypeInfoTRzFrameControllerNotifications(),
             &TRzCustomPanel::FrameControllerNotifications,
             &TRzCustomPanel::SetFrameControllerNotifications, fcnAllNotifications);
    return true;
  }();
  (void)done;
}
