#pragma once
// The control classes of the class library: TControl (position, visibility, colour, font,
// text, mouse), TWinControl (a lazily created window, children, alignment, focus, keys,
// painting of windowless children, docking), TGraphicControl, TCustomControl, the scrolling
// control and the scroll box.
//
// Messages: every control has WindowProc (initially its WndProc). WndProc does the common
// pre-processing and calls Dispatch; each class overrides Dispatch with a switch over the
// messages it handles and calls Base::Dispatch(msg) for the rest (that is its "inherited"),
// ending in DefaultHandler (for a windowed control: the window's original procedure).
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "Classes.h"
#include "Components.h"
#include "Graphics.h"
#include "TypInfo.h"
#include "User.h"

class TControl;
class TWinControl;
class TCustomForm;

// ---- Messages ----
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};
using TWndMethod = std::function<void(TMessage& message)>;

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0x00;
constexpr UINT CM_DEACTIVATE = CM_BASE + 0x01;
constexpr UINT CM_GOTFOCUS = CM_BASE + 0x02;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 0x03;
constexpr UINT CM_CANCELMODE = CM_BASE + 0x04;
constexpr UINT CM_DIALOGKEY = CM_BASE + 0x05;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 0x06;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 0x07;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 0x08;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 0x09;
constexpr UINT CM_HITTEST = CM_BASE + 0x0A;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 0x0B;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x0C;
constexpr UINT CM_COLORCHANGED = CM_BASE + 0x0D;
constexpr UINT CM_FONTCHANGED = CM_BASE + 0x0E;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 0x0F;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 0x10;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 0x11;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x12;
constexpr UINT CM_MOUSEENTER = CM_BASE + 0x13;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x14;
constexpr UINT CM_MENUCHANGED = CM_BASE + 0x15;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 0x16;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 0x17;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 0x18;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 0x19;
constexpr UINT CM_ENTER = CM_BASE + 0x1A;
constexpr UINT CM_EXIT = CM_BASE + 0x1B;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 0x1C;
constexpr UINT CM_ICONCHANGED = CM_BASE + 0x1D;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 0x1E;
constexpr UINT CM_INVOKEHELP = CM_BASE + 0x1F;
constexpr UINT CM_WINDOWHOOK = CM_BASE + 0x20;
constexpr UINT CM_RELEASE = CM_BASE + 0x21;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 0x22;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 0x23;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 0x24;
constexpr UINT CM_WININICHANGE = CM_BASE + 0x25;
constexpr UINT CM_FONTCHANGE = CM_BASE + 0x26;
constexpr UINT CM_TIMECHANGE = CM_BASE + 0x27;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 0x28;
constexpr UINT CM_UIACTIVATE = CM_BASE + 0x29;
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 0x2A;
constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 0x2B;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 0x2C;
constexpr UINT CM_GETDATALINK = CM_BASE + 0x2D;
constexpr UINT CM_CHILDKEY = CM_BASE + 0x2E;
constexpr UINT CM_DRAG = CM_BASE + 0x2F;
constexpr UINT CM_HINTSHOW = CM_BASE + 0x30;
constexpr UINT CM_DIALOGHANDLE = CM_BASE + 0x31;
constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 0x32;
constexpr UINT CM_RECREATEWND = CM_BASE + 0x33;
constexpr UINT CM_INVALIDATE = CM_BASE + 0x34;
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 0x35;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 0x36;
constexpr UINT CM_CHANGED = CM_BASE + 0x37;
constexpr UINT CM_DOCKCLIENT = CM_BASE + 0x38;
constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 0x39;
constexpr UINT CM_FLOAT = CM_BASE + 0x3A;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 0x3B;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 0x3C;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 0x3D;
constexpr UINT CM_ALLCHILDRENFLIPPED = CM_BASE + 0x3E;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 0x3F;
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 0x40;
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 0x41;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 0x43;
constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 0x44;

// Notifications reflected to the child control that sent them: CN_BASE + the message.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + 0x002F;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;

// ---- Value types ----
enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
using TAlignSet = TEnumSet<TAlign>;
enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TAnchorKind : std::uint8_t { akLeft, akTop, akRight, akBottom };
using TAnchors = TEnumSet<TAnchorKind>;
enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TEnumSet<TShiftStateItem>;
enum TBiDiMode : std::uint8_t {
  bdLeftToRight,
  bdRightToLeft,
  bdRightToLeftNoAlign,
  bdRightToLeftReadingOnly
};
enum TDragKind : std::uint8_t { dkDrag, dkDock };
enum TDragMode : std::uint8_t { dmManual, dmAutomatic };
enum TDockOrientation : std::uint8_t { doNoOrient, doHorizontal, doVertical };
// The form and scroll box border styles (a scroll box takes bsNone or bsSingle).
enum TFormBorderStyle : std::uint8_t {
  bsNone,
  bsSingle,
  bsSizeable,
  bsDialog,
  bsToolWindow,
  bsSizeToolWin
};
using TBorderStyle = TFormBorderStyle;
enum TScrollBarKind : std::uint8_t { sbHorizontal, sbVertical };
using TCaption = String;

// Cursors are the library's numbers; crDefault takes the window class's cursor.
using TCursor = std::int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
// The platform cursor of a library cursor (0 for crDefault and crNone).
HCURSOR CursorHandle(TCursor cursor);

enum TControlStyleItem : std::uint8_t {
  csAcceptsControls,
  csCaptureMouse,
  csDesignInteractive,
  csClickEvents,
  csFramed,
  csSetCaption,
  csOpaque,
  csDoubleClicks,
  csFixedWidth,
  csFixedHeight,
  csNoDesignVisible,
  csReplicatable,
  csNoStdEvents,
  csDisplayDragImage,
  csReflector,
  csActionClient,
  csMenuEvents,
  csNeedsBorderPaint,
  csParentBackground,
  csPannable,
  csAlignWithMargins,
  csGestures,
  csPaintBlackOpaqueOnGlass,
  csOverrideStylePaint
};
using TControlStyle = TEnumSet<TControlStyleItem>;

enum TControlStateItem : std::uint8_t {
  csLButtonDown,
  csClicked,
  csPalette,
  csReadingState,
  csAlignmentNeeded,
  csFocusing,
  csCreating,
  csPaintCopy,
  csCustomPaint,
  csDestroyingHandle,
  csDocking,
  csDesignerHide,
  csPanning,
  csRecreating,
  csAligning,
  csGlassPaint,
  csPrintClient
};
using TControlState = TEnumSet<TControlStateItem>;

// Shift state from mouse-message key flags, from the keyboard state, from key-message data.
TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyDataToShiftState(LPARAM keyData);

// ---- Events ----
using TMouseEvent =
    std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, Char& key)>;
using TMouseWheelEvent = std::function<void(TObject* sender, TShiftState shift, int wheelDelta,
                                            TPoint mousePos, bool& handled)>;
using TMouseWheelUpDownEvent =
    std::function<void(TObject* sender, TShiftState shift, TPoint mousePos, bool& handled)>;
using TCanResizeEvent =
    std::function<void(TObject* sender, int& newWidth, int& newHeight, bool& resize)>;
using TConstrainedResizeEvent = std::function<void(TObject* sender, int& minWidth, int& minHeight,
                                                   int& maxWidth, int& maxHeight)>;
using TContextPopupEvent = std::function<void(TObject* sender, TPoint mousePos, bool& handled)>;
using TMouseActivateEvent =
    std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y,
                       int hitTest, LRESULT& mouseActivate)>;
using TDragDropEvent = std::function<void(TObject* sender, TObject* source, int x, int y)>;
using TDragOverEvent =
    std::function<void(TObject* sender, TObject* source, int x, int y, bool& accept)>;
using TEndDragEvent = std::function<void(TObject* sender, TObject* target, int x, int y)>;
using TStartDragEvent = std::function<void(TObject* sender, TObject*& dragObject)>;

// ---- Size constraints (0: no limit) ----
class TSizeConstraints : public TPersistent {
  friend class TControl;

 public:
  explicit TSizeConstraints(TControl* control = nullptr);
  String ClassName() const override;
  void Assign(const TPersistent* source) override;
  int MaxHeight() const { return maxHeight_; }
  int MaxWidth() const { return maxWidth_; }
  int MinHeight() const { return minHeight_; }
  int MinWidth() const { return minWidth_; }
  void SetMaxHeight(int v);
  void SetMaxWidth(int v);
  void SetMinHeight(int v);
  void SetMinWidth(int v);
  TControl* Control() const { return control_; }
  TNotifyEvent OnChange;

 protected:
  virtual void Change();

 private:
  TControl* control_;
  int maxHeight_ = 0, maxWidth_ = 0, minHeight_ = 0, minWidth_ = 0;
};

// ---- TControl ----
class TControl : public TComponent {
  friend class TSizeConstraints;

 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  String ClassName() const override;

  // ---- Messages ----
  TWndMethod WindowProc;  // replaceable; WndProc until replaced
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  virtual void WndProc(TMessage& message);
  virtual void Dispatch(TMessage& message);
  // Text messages served from the control's own text; everything else answers 0.
  virtual void DefaultHandler(TMessage& message);

  // ---- Parent and position ----
  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  bool HasParent() const override;
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  // Applies constraints (CanResize, ConstrainedResize), moves the window if any, realigns
  // the parent and calls Resize when the size changed.
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.left, r.top, RectWidth(r), RectHeight(r)); }
  TRect ClientRect() { return GetClientRect(); }
  int ClientWidth() { return RectWidth(GetClientRect()); }
  int ClientHeight() { return RectHeight(GetClientRect()); }
  virtual void SetClientWidth(int v);
  virtual void SetClientHeight(int v);
  void SetClientSize(TPoint size);
  // The screen position of the client area's origin.
  virtual TPoint ClientOrigin();
  TPoint ClientToScreen(TPoint p);
  TPoint ScreenToClient(TPoint p);
  TPoint ClientToParent(TPoint p, TWinControl* parent = nullptr);
  TPoint ParentToClient(TPoint p, TWinControl* parent = nullptr);

  // ---- Visibility and state ----
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show();
  void Hide();
  // Visible with every parent up to a top-level form showing.
  virtual bool Showing() const;
  virtual bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle style) { controlStyle_ = style; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState state) { controlState_ = state; }
  void IncludeState(TControlStateItem item) { controlState_.Include(item); }
  void ExcludeState(TControlStateItem item) { controlState_.Exclude(item); }
  bool MouseCapture() const;
  void SetMouseCapture(bool capture);

  // ---- Appearance ----
  TColor Color() const { return color_; }
  // Does nothing when unchanged; otherwise clears ParentColor and sends CM_COLORCHANGED.
  virtual void SetColor(TColor color);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool parentColor);
  TFont* Font() const { return font_.get(); }
  void SetFont(const TFont* font) { font_->Assign(font); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool parentFont);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  bool IsColorStored() const { return !parentColor_; }
  bool IsFontStored() const { return !parentFont_; }

  // ---- Text (WM_GETTEXT / WM_SETTEXT semantics) ----
  String GetText();
  // Writes only a different text; sends CM_TEXTCHANGED after the write.
  void SetText(const String& text);
  String Caption() { return GetText(); }
  void SetCaption(const String& caption) { SetText(caption); }
  String Text() { return GetText(); }
  int GetTextLen();

  // ---- Hints ----
  const String& Hint() const { return hint_; }
  void SetHint(const String& hint) { hint_ = hint; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool showHint);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool parentShowHint);

  // ---- Layout ----
  TAlign Align() const { return align_; }
  virtual void SetAlign(TAlign align);
  TAnchors Anchors() const { return anchors_; }
  virtual void SetAnchors(TAnchors anchors);
  TSizeConstraints* Constraints() const { return constraints_.get(); }
  void SetConstraints(const TSizeConstraints* c) { constraints_->Assign(c); }
  bool AutoSize() const { return autoSize_; }
  virtual void SetAutoSize(bool autoSize);

  // ---- Painting and z-order ----
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();
  virtual void SetZOrder(bool topMost);

  // ---- Bidirectional layout: left to right only here ----
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode mode);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool value);
  bool IsRightToLeft() const;
  bool UseRightToLeftAlignment() const;
  bool UseRightToLeftReading() const;
  bool UseRightToLeftScrollBar() const;

  // ---- Dragging and docking ----
  TDragKind DragKind() const { return dragKind_; }
  void SetDragKind(TDragKind kind) { dragKind_ = kind; }
  TDragMode DragMode() const { return dragMode_; }
  void SetDragMode(TDragMode mode) { dragMode_ = mode; }
  TCursor DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor cursor) { dragCursor_ = cursor; }
  TDockOrientation DockOrientation() const { return dockOrientation_; }
  void SetDockOrientation(TDockOrientation o) { dockOrientation_ = o; }
  TWinControl* HostDockSite() const { return hostDockSite_; }
  // Docks into newDockSite (its dock manager places the control); nullptr undocks.
  virtual bool ManualDock(TWinControl* newDockSite, TControl* dropControl = nullptr,
                          TAlign controlSide = alNone);
  int UndockWidth() const { return undockWidth_ ? undockWidth_ : width_; }
  int UndockHeight() const { return undockHeight_ ? undockHeight_ : height_; }

  // ---- Events ----
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;
  TMouseActivateEvent OnMouseActivate;
  TNotifyEvent OnResize;
  TCanResizeEvent OnCanResize;
  TConstrainedResizeEvent OnConstrainedResize;
  TContextPopupEvent OnContextPopup;
  // Stored and bindable; dragging itself is not implemented.
  TDragDropEvent OnDragDrop;
  TDragOverEvent OnDragOver;
  TEndDragEvent OnEndDrag;
  TEndDragEvent OnEndDock;
  TStartDragEvent OnStartDrag;
  TStartDragEvent OnStartDock;

  // The click the library performs: OnClick.
  virtual void Click();

  // Mouse-wheel dispatch (OnMouseWheel, then DoMouseWheelDown / DoMouseWheelUp per notch);
  // true when handled.
  virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
  // Takes part in its parent's painting, hit testing and alignment (visible, or shown at
  // design time).
  bool IsControlVisibleInParent() const {
    return visible_ ||
           (ComponentState().Contains(csDesigning) && !controlStyle_.Contains(csNoDesignVisible));
  }

 protected:
  friend class TWinControl;
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
  virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);
  virtual bool DoContextPopup(TPoint mousePos);
  virtual void Resize();
  void Loaded() override;
  void ReadState(TReader* reader) override;
  void Notification(TComponent* component, TOperation operation) override;
  // Multiplies position, size and font by m / d.
  virtual void ChangeScale(int m, int d);
  // Asks OnCanResize (and AutoSize) whether the new size is acceptable; may adjust it.
  virtual bool CanResize(int& newWidth, int& newHeight);
  virtual bool CanAutoSize(int& newWidth, int& newHeight);
  virtual void ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight);
  void DoConstrainedResize(int& newWidth, int& newHeight);
  virtual void ConstraintsChanged();
  virtual void AdjustSize();
  // (0, 0, Width, Height) for a windowless control.
  virtual TRect GetClientRect();
  virtual void SetParentHook(TWinControl* parent) { (void)parent; }
  // Invalidates the control's rectangle in its parent's window (windowless controls).
  virtual void InvalidateControl(bool isVisible, bool isOpaque);
  // The text the control keeps while it has no window (or is windowless).
  const String& StoredText() const { return text_; }
  void SetStoredText(const String& text) { text_ = text; }
  virtual void VisibleChanging() {}
  virtual void ParentColorChanged();
  virtual void ParentFontChanged();
  void FontChanged();
  // The anchor distances to the parent's client edges, taken from the current bounds.
  void UpdateAnchorRules();
  void UpdateBoundsRect(const TRect& r);  // bounds without moving the window
  int undockWidth_ = 0;
  int undockHeight_ = 0;

 private:
  friend class TDockTree;
  void WMMouse(TMessage& message);
  void DoMouseDown(TMessage& message, TMouseButton button, TShiftState shift);
  void DoMouseUp(TMessage& message, TMouseButton button);
  void FontOnChange();

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  // Anchor rules: distances to the parent's right and bottom client edges when last set.
  int anchorRight_ = 0, anchorBottom_ = 0;
  bool anchorRulesValid_ = false;
  bool anchorMove_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState controlState_;
  TColor color_ = clWindow;
  bool parentColor_ = true;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  bool fontChanging_ = false;
  TCursor cursor_ = crDefault;
  String text_;
  String hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TAlign align_ = alNone;
  TAnchors anchors_{akLeft, akTop};
  std::unique_ptr<TSizeConstraints> constraints_;
  bool autoSize_ = false;
  TBiDiMode biDiMode_ = bdLeftToRight;
  bool parentBiDiMode_ = true;
  TDragKind dragKind_ = dkDrag;
  TDragMode dragMode_ = dmManual;
  TCursor dragCursor_ = crDrag;
  TDockOrientation dockOrientation_ = doNoOrient;
  TWinControl* hostDockSite_ = nullptr;
};

// ---- Docking ----
// The layout of the controls docked into a site, as the site's dock manager.
class IDockManager {
 public:
  virtual ~IDockManager() = default;
  // Called once the manager is the site's, and before it is released.
  virtual void Initialize() {}
  virtual void Destroying() {}
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  virtual void GetControlBounds(TControl* control, TRect& controlBounds) = 0;
  virtual void InsertControl(TControl* control, TAlign insertAt, TControl* dropControl) = 0;
  virtual void PaintSite(HDC dc) = 0;
  virtual void PositionDockRect(TControl* client, TControl* dropControl, TAlign dropAlign,
                                TRect& dockRect) = 0;
  virtual void RemoveControl(TControl* control) = 0;
  virtual void ResetBounds(bool force) = 0;
  virtual void SetReplacingControl(TControl* control) = 0;
};

// The standard dock tree: docked controls side by side (left to right) or stacked (top to
// bottom) over the site's client area, each with a grabber bar of GrabberSize pixels on top
// (on the left for a site aligned alTop or alBottom).
class TDockTree : public IDockManager {
 public:
  explicit TDockTree(TWinControl* dockSite);
  ~TDockTree() override;
  TDockTree(const TDockTree&) = delete;
  TDockTree& operator=(const TDockTree&) = delete;

  TWinControl* DockSite() const { return dockSite_; }
  int GrabberSize() const { return grabberSize_; }
  void SetGrabberSize(int size) { grabberSize_ = size; }
  // Stacked (doVertical) or side by side (doHorizontal, the default).
  TDockOrientation Orientation() const { return orientation_; }
  void SetOrientation(TDockOrientation o);
  const std::vector<TControl*>& DockedControls() const { return controls_; }

  void BeginUpdate() override;
  void EndUpdate() override;
  void GetControlBounds(TControl* control, TRect& controlBounds) override;
  void InsertControl(TControl* control, TAlign insertAt, TControl* dropControl) override;
  void PaintSite(HDC dc) override;
  void PositionDockRect(TControl* client, TControl* dropControl, TAlign dropAlign,
                        TRect& dockRect) override;
  void RemoveControl(TControl* control) override;
  void ResetBounds(bool force) override;
  void SetReplacingControl(TControl* control) override;

 protected:
  // Makes room for the grabber inside a docked control's zone.
  virtual void AdjustDockRect(TControl* control, TRect& r);
  // Paints the grabber of one docked control; r is the control's whole zone.
  virtual void PaintDockFrame(TCanvas* canvas, TControl* control, const TRect& r);
  // The zone of each docked control, in the site's client coordinates.
  TRect ZoneRect(int index);
  int grabberSize_ = 12;
  TWinControl* dockSite_;

 private:
  std::vector<TControl*> controls_;
  TControl* replacing_ = nullptr;
  TDockOrientation orientation_ = doHorizontal;
  int updateCount_ = 0;
};
// What a site makes by default; a site overrides TWinControl::CreateDockManager for another.
using TDockTreeFactory = std::function<IDockManager*(TWinControl* dockSite)>;
extern TDockTreeFactory DefaultDockTreeClass;

// ---- Window creation parameters ----
struct TCreateParams {
  String Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = 0;
  void* Param = nullptr;
  WNDCLASSW WindowClass;  // lpszClassName points into WinClassName or a static name
  String WinClassName;
};

// ---- TWinControl ----
class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  String ClassName() const override;

  void Dispatch(TMessage& message) override;
  // Calls the window's original procedure when the window exists, else TControl's handling.
  void DefaultHandler(TMessage& message) override;
  void WndProc(TMessage& message) override;

  // ---- The window ----
  // Creates the window (and its parents') on first use.
  HWND Handle();
  bool HandleAllocated() const { return handle_ != 0; }
  void HandleNeeded();
  // A window that is not a control of this library to put a parentless control into.
  HWND ParentWindow() const { return parentWindow_; }
  void SetParentWindow(HWND parent);
  // Destroys the window (keeping text and state) and creates it again when next needed or,
  // when the control is showing, at once.
  void RecreateWnd();
  void DestroyHandle();
  void UpdateControlState();

  // ---- Children ----
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(static_cast<std::size_t>(index)); }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool ContainsControl(TControl* control) const;
  TControl* ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls = false);
  TControl* FindChildControl(const String& controlName) const;
  // Sends the message to every child until one answers non-zero.
  void Broadcast(TMessage& message);
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void SetChildOrder(TComponent* child, int order);

  // ---- Focus and tab order ----
  // Position among the parent's windowed children in the tab sequence; -1 while parentless.
  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool tabStop);
  // Every tab-able descendant in tab order (depth first).
  void GetTabOrderList(std::vector<TWinControl*>& list);
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                               bool checkParent);
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
  virtual bool CanFocus();
  virtual bool Focused();
  virtual void SetFocus();
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

  // ---- Alignment ----
  void DisableAlign();
  void EnableAlign();
  bool AlignDisabled() const { return alignLevel_ != 0; }
  void Realign();
  void ReAlign() { Realign(); }
  void ScrollBy(int deltaX, int deltaY);
  // Multiplies the children's and its own size and position (and fonts) by m / d.
  void ScaleBy(int m, int d) { ChangeScale(m, d); }

  // ---- Appearance ----
  TBrush* Brush() const { return brush_.get(); }
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool value);
  bool ParentCtl3D() const { return parentCtl3D_; }
  void SetParentCtl3D(bool value);
  bool ParentBackground() const { return ControlStyle().Contains(csParentBackground); }
  void SetParentBackground(bool value);
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool value);
  bool ParentDoubleBuffered() const { return parentDoubleBuffered_; }
  void SetParentDoubleBuffered(bool value);
  void PaintTo(HDC dc, int x, int y);
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void SetZOrder(bool topMost) override;
  bool Showing() const override { return showing_; }
  void SetBounds(int left, int top, int width, int height) override;

  // ---- Docking ----
  bool DockSite() const { return dockSite_; }
  virtual void SetDockSite(bool value);
  bool UseDockManager() const { return useDockManager_; }
  void SetUseDockManager(bool value);
  IDockManager* DockManager() const { return dockManager_.get(); }
  int DockClientCount() const { return static_cast<int>(dockClients_.size()); }
  TControl* DockClients(int index) const {
    return dockClients_.at(static_cast<std::size_t>(index));
  }
  int VisibleDockClientCount() const;
  void DockDrop(TControl* control, TAlign align, TControl* dropControl);
  void UndockClient(TControl* control);

 protected:
  friend class TControl;
  friend class TCustomForm;
  friend class TApplication;
  friend class TDockTree;  // lays docked controls out inside the adjusted client area
  friend LRESULT StdWndProc(HWND, UINT, WPARAM, LPARAM);
  virtual void CreateParams(TCreateParams& params);
  // Takes the window class of a platform control ("EDIT", "BUTTON") whose procedure becomes
  // the default handler.
  void CreateSubClass(TCreateParams& params, const String& controlClassName);
  virtual void CreateWindowHandle(const TCreateParams& params);
  // Registers the window class when needed, creates the window and pushes state into it.
  virtual void CreateWnd();
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  virtual void CreateHandle();
  // Windows created hidden become visible here once every child is in place.
  void UpdateShowing();
  void ShowControl(TControl* control);

  // The client area, also without a window (from the style's non-client sizes).
  TRect GetClientRect() override;
  virtual void AdjustClientRect(TRect& rect);
  // Lays out the children by Align (top, bottom, left, right, client, custom) then anchors.
  virtual void AlignControls(TControl* control, TRect& rect);
  // Custom alignment hooks for alCustom children.
  virtual void CustomAlignPosition(TControl* control, int& newLeft, int& newTop, int& newWidth,
                                   int& newHeight, TRect& alignRect);
  virtual void ControlsAligned() {}
  void AlignControl(TControl* control);
  bool CanAutoSize(int& newWidth, int& newHeight) override;
  void ChangeScale(int m, int d) override;
  void Loaded() override;
  void ReadState(TReader* reader) override;
  void Notification(TComponent* component, TOperation operation) override;
  void SetParentHook(TWinControl* parent) override;
  TPoint ClientOrigin() override;
  void InvalidateControl(bool isVisible, bool isOpaque) override;
  void ParentColorChanged() override;
  void ParentFontChanged() override;

  // Keys: DoKeyDown runs the form's key preview, OnKeyDown and KeyDown; true when the key was
  // consumed (cleared to 0).
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyPress(Char& key);
  virtual void KeyUp(WORD& key, TShiftState shift);
  bool DoKeyDown(TMessage& message);
  bool DoKeyPress(TMessage& message);
  bool DoKeyUp(TMessage& message);
  virtual void DoEnter();
  virtual void DoExit();
  // Answers CM_DIALOGKEY for children (broadcast); the form handles Tab.
  virtual bool IsDialogKeyForChildren(TMessage& message);

  // Painting: graphic children are painted after the window itself.
  void PaintHandler(TMessage& message);
  virtual void PaintWindow(HDC dc);
  void PaintControls(HDC dc, TControl* first);

  // The dock manager the site uses (called when DockSite and UseDockManager are both set); may
  // return the current one.
  virtual IDockManager* CreateDockManager();
  void SetDockManager(IDockManager* manager);
  virtual void DoAddDockClient(TControl* client, const TRect& r);
  virtual void DoRemoveDockClient(TControl* client);

  WNDPROC DefWndProc = nullptr;
  HWND WindowHandle() const { return handle_; }

 private:
  void DoAlign(TAlign align, TControl* control, TRect& rect);
  void DoAnchors(const TRect& clientRect);
  void AttachHandle(HWND hwnd);
  void DetachHandle();
  void UpdateBounds();  // from the window rectangle after WM_WINDOWPOSCHANGED
  void WMPaint(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void WMSetCursor(TMessage& message);
  void CNKeyDown(TMessage& message);
  void CNChar(TMessage& message);
  void ReflectToChild(TMessage& message, HWND child);
  void SetShowing(bool showing);
  void FixupTabList();
  void RequestAlign();

  HWND handle_ = 0;
  HWND parentWindow_ = 0;
  std::vector<TControl*> controls_;    // all children, z-order bottom first
  std::vector<TWinControl*> tabList_;  // windowed children in tab order
  std::unique_ptr<TBrush> brush_;
  bool tabStop_ = false;
  bool ctl3D_ = true;
  bool parentCtl3D_ = true;
  bool doubleBuffered_ = false;
  bool parentDoubleBuffered_ = true;
  bool showing_ = false;
  bool creatingHandle_ = false;
  int alignLevel_ = 0;
  bool dockSite_ = false;
  bool useDockManager_ = false;
  std::unique_ptr<IDockManager> dockManager_;
  std::vector<TControl*> dockClients_;
  bool mouseTracking_ = false;
  int tabOrder_ = -1;  // the stored tab order, applied once the parent's block is read
  bool IsControlMouseMsg(TMessage& message);
  void NotifyControls(UINT msg);
  void RemoveFocus(bool removing);
};

// The window procedure of every window a control of this library creates.
LRESULT StdWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The control that owns a window of this library; nullptr for other windows.
TWinControl* FindControl(HWND hwnd);
// The control (windowless ones included) under a screen point.
TControl* FindDragTarget(TPoint pos, bool allowDisabled);
TWinControl* FindVCLWindow(TPoint pos);
// The control that last received a mouse message (for enter / leave tracking).
TControl* MouseControl();

// ---- TGraphicControl: windowless, painted by its parent ----
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  String ClassName() const override;
  void Dispatch(TMessage& message) override;
  TCanvas* Canvas() const { return canvas_.get(); }

 protected:
  virtual void Paint();

 private:
  std::unique_ptr<TCanvas> canvas_;
};

// ---- TCustomControl: windowed, with a canvas painted in WM_PAINT ----
class TCustomControl : public TWinControl, private TCanvasDCProvider {
 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  String ClassName() const override;
  TCanvas* Canvas() const { return canvas_.get(); }

 protected:
  virtual void Paint();
  void PaintWindow(HDC dc) override;
  // The canvas gives back a device context of the window that goes.
  void DestroyWnd() override;

 private:
  HDC AcquireCanvasDC() override;
  void ReleaseCanvasDC(HDC dc) override;
  std::unique_ptr<TControlCanvas> canvas_;
};

// ---- Scrolling ----
class TScrollingWinControl;

class TControlScrollBar : public TPersistent {
 public:
  TControlScrollBar(TScrollingWinControl* control, TScrollBarKind kind);
  String ClassName() const override;
  void Assign(const TPersistent* source) override;
  TScrollBarKind Kind() const { return kind_; }
  TScrollingWinControl* Control() const { return control_; }
  // Pixels of content; the bar shows when it exceeds the client extent.
  int Range() const { return range_; }
  void SetRange(int range);
  int Position() const { return position_; }
  // Scrolls the children by the difference (ScrollBy) and moves the thumb.
  void SetPosition(int position);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  int Increment() const { return increment_; }
  void SetIncrement(int increment) { increment_ = increment; }
  bool Tracking() const { return tracking_; }
  void SetTracking(bool tracking) { tracking_ = tracking; }
  int Margin() const { return margin_; }
  void SetMargin(int margin) { margin_ = margin; }
  // Shown on the window now.
  bool IsScrollBarVisible();
  int ScrollPos();
  // The client extent the bar scrolls over.
  int ControlSize();

 private:
  friend class TScrollingWinControl;
  void Update(bool controlVisible, bool sizeChanged);
  void ScrollMessage(TMessage& message);
  void CalcAutoRange();
  TScrollingWinControl* control_;
  TScrollBarKind kind_;
  int range_ = 0;
  int position_ = 0;
  int increment_ = 8;
  int margin_ = 0;
  bool visible_ = true;
  bool tracking_ = false;
  int calcRange_ = 0;
};

class TScrollingWinControl : public TWinControl {
 public:
  explicit TScrollingWinControl(TComponent* owner);
  ~TScrollingWinControl() override;
  String ClassName() const override;
  void Dispatch(TMessage& message) override;

  TControlScrollBar* HorzScrollBar() const { return horz_.get(); }
  TControlScrollBar* VertScrollBar() const { return vert_.get(); }
  void SetHorzScrollBar(const TControlScrollBar* bar) { horz_->Assign(bar); }
  void SetVertScrollBar(const TControlScrollBar* bar) { vert_->Assign(bar); }
  // The ranges follow the children's extent.
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool value);
  void DisableAutoRange();
  void EnableAutoRange();
  void ScrollInView(TControl* control);
  void UpdateScrollBars();
  // ScrollInView when AutoScroll is on (the form calls it as focus moves).
  virtual void AutoScrollInView(TControl* control);

 protected:
  friend class TControlScrollBar;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void AlignControls(TControl* control, TRect& rect) override;
  void AdjustClientRect(TRect& rect) override;
  void Resize() override;
  bool AutoScrollEnabled() const { return autoScroll_; }

 private:
  void CalcAutoRange();
  std::unique_ptr<TControlScrollBar> horz_;
  std::unique_ptr<TControlScrollBar> vert_;
  bool autoScroll_ = true;
  int autoRangeCount_ = 0;
  bool updatingScrollBars_ = false;
};

class TScrollBox : public TScrollingWinControl {
 public:
  explicit TScrollBox(TComponent* owner);
  String ClassName() const override;
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  TBorderStyle borderStyle_ = bsSingle;
};

// ---- Property types ----
const TTypeInfo* TypeInfoTAlign();
const TTypeInfo* TypeInfoTAlignment();
const TTypeInfo* TypeInfoTAnchors();
const TTypeInfo* TypeInfoTAnchorKind();
const TTypeInfo* TypeInfoTCursor();
const TTypeInfo* TypeInfoTBiDiMode();
const TTypeInfo* TypeInfoTDragKind();
const TTypeInfo* TypeInfoTDragMode();
const TTypeInfo* TypeInfoTBorderStyle();  // bsNone, bsSingle
const TTypeInfo* TypeInfoTFormBorderStyle();
const TTypeInfo* TypeInfoTMouseButton();
const TTypeInfo* TypeInfoTShiftState();
const TTypeInfo* TypeInfoTCaption();
// Event types (for published event entries).
const TTypeInfo* TypeInfoTMouseEvent();
const TTypeInfo* TypeInfoTMouseMoveEvent();
const TTypeInfo* TypeInfoTKeyEvent();
const TTypeInfo* TypeInfoTKeyPressEvent();

// Registers the tables of TSizeConstraints, TControlScrollBar, TControl, TWinControl,
// TGraphicControl, TCustomControl, TScrollingWinControl and TScrollBox.
void RegisterControlClasses();
