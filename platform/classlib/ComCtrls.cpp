#include "ComCtrls.h"

#include "Controls.h"
#include "GraphicsTypeInfo.h"

// The "msctls_updown32" class and its messages.
#include "SystemControls.h"  // the platform window classes

TCustomUpDown::TCustomUpDown(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() - TControlStyle{csSetCaption, csDoubleClicks});
  SetBounds(0, 0, 17, 25);
  SetTabStop(false);
}

TCustomUpDown::~TCustomUpDown() = default;

String TCustomUpDown::ClassName() const { return u"TCustomUpDown"; }

void TCustomUpDown::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, UPDOWN_CLASS);
  // The class library places the control beside its associate itself (PlaceBesideAssociate),
  // so the window is not asked to align, which would also narrow the associate.
  params.Style |= UDS_SETBUDDYINT;
  if (orientation_ == udHorizontal) params.Style |= UDS_HORZ;
  if (arrowKeys_) params.Style |= UDS_ARROWKEYS;
  if (wrap_) params.Style |= UDS_WRAP;
  if (!thousands_) params.Style |= UDS_NOTHOUSANDS;
  params.Style |= UDS_HOTTRACK;
}

void TCustomUpDown::CreateWnd() {
  TWinControl::CreateWnd();
  PushRange();
  if (associate_) SendMessageW(WindowHandle(), UDM_SETBUDDY, WPARAM(associate_->Handle()), 0);
  // With the buddy in place this also writes the position into its text.
  SendMessageW(WindowHandle(), UDM_SETPOS32, 0, position_);
}

void TCustomUpDown::PushRange() {
  if (!HandleAllocated()) return;
  SendMessageW(WindowHandle(), UDM_SETRANGE32, WPARAM(std::intptr_t(min_)), LPARAM(max_));
  UDACCEL accel{0, static_cast<UINT>(increment_)};
  SendMessageW(WindowHandle(), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

void TCustomUpDown::SetAssociate(TWinControl* value) {
  if (value == this) value = nullptr;
  if (value == associate_) return;
  if (associate_) {
    associate_->RemoveFreeNotification(this);
    if (HandleAllocated()) SendMessageW(WindowHandle(), UDM_SETBUDDY, 0, 0);
  }
  associate_ = value;
  if (!associate_) return;
  associate_->FreeNotification(this);
  if (!ComponentState().Contains(csLoading)) PlaceBesideAssociate();
  if (HandleAllocated()) {
    SendMessageW(WindowHandle(), UDM_SETBUDDY, WPARAM(associate_->Handle()), 0);
    SendMessageW(WindowHandle(), UDM_SETPOS32, 0, position_);
  }
}

void TCustomUpDown::PlaceBesideAssociate() {
  if (!associate_) return;
  if (Parent() != associate_->Parent()) SetParent(associate_->Parent());
  const int left = alignButton_ == udRight ? associate_->Left() + associate_->Width()
                                           : associate_->Left() - Width();
  SetBounds(left, associate_->Top(), Width(), associate_->Height());
}

void TCustomUpDown::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  // Its window is on its way out; the up-down's own forgets it without being told.
  if (operation == opRemove && component == associate_) associate_ = nullptr;
}

void TCustomUpDown::Loaded() {
  TWinControl::Loaded();
  PlaceBesideAssociate();
}

void TCustomUpDown::SetAlignButton(TUDAlignButton value) {
  if (alignButton_ == value) return;
  alignButton_ = value;
  if (!ComponentState().Contains(csLoading)) PlaceBesideAssociate();
}

void TCustomUpDown::SetOrientation(TUDOrientation value) {
  if (orientation_ == value) return;
  orientation_ = value;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TCustomUpDown::SetMin(SmallInt value) {
  if (min_ == value) return;
  min_ = value;
  PushRange();
}

void TCustomUpDown::SetMax(SmallInt value) {
  if (max_ == value) return;
  max_ = value;
  PushRange();
}

void TCustomUpDown::SetIncrement(int value) {
  if (value < 1) value = 1;
  if (increment_ == value) return;
  increment_ = value;
  PushRange();
}

SmallInt TCustomUpDown::Position() {
  if (HandleAllocated()) {
    BOOL error = FALSE;
    LRESULT pos = SendMessageW(WindowHandle(), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error));
    if (!error) position_ = static_cast<SmallInt>(pos);
  }
  return position_;
}

void TCustomUpDown::SetPosition(SmallInt value) {
  if (HandleAllocated()) {
    SendMessageW(WindowHandle(), UDM_SETPOS32, 0, value);
    // The window keeps it within the range.
    BOOL error = FALSE;
    LRESULT pos = SendMessageW(WindowHandle(), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error));
    position_ = error ? value : static_cast<SmallInt>(pos);
    return;
  }
  position_ = value;
}

void TCustomUpDown::SetWrap(bool value) {
  if (wrap_ == value) return;
  wrap_ = value;
  RecreateWnd();
}

void TCustomUpDown::SetArrowKeys(bool value) {
  if (arrowKeys_ == value) return;
  arrowKeys_ = value;
  RecreateWnd();
}

void TCustomUpDown::SetThousands(bool value) {
  if (thousands_ == value) return;
  thousands_ = value;
  RecreateWnd();
}

bool TCustomUpDown::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

bool TCustomUpDown::DoCanChange(SmallInt newValue, SmallInt delta) {
  bool allow = CanChange();
  if (OnChangingEx) {
    TUpDownDirection direction = delta == 0 ? updNone : lastStepUp_ ? updUp : updDown;
    OnChangingEx(this, allow, newValue, direction);
  }
  return allow;
}

void TCustomUpDown::Click(TUDBtnType button) {
  if (OnClick) OnClick(this, button);
}

void TCustomUpDown::DeltaPos(TMessage& message) {
  const auto* nm = reinterpret_cast<const NMUPDOWN*>(message.LParam);
  // The arrow pointing up (right) moves towards Max, wherever Max lies.
  lastStepUp_ = (nm->iDelta > 0) == (max_ >= min_);
  message.Result =
      DoCanChange(static_cast<SmallInt>(nm->iPos + nm->iDelta), static_cast<SmallInt>(nm->iDelta))
          ? 0
          : 1;
}

void TCustomUpDown::ScrollNotify(TMessage& message) {
  if (LOWORD(message.WParam) != SB_THUMBPOSITION) return;
  Position();
  Click(lastStepUp_ ? btNext : btPrev);
}

void TCustomUpDown::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL: ScrollNotify(message); return;
    case CN_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(message.LParam);
      if (hdr && hdr->code == UDN_DELTAPOS) {
        DeltaPos(message);
        return;
      }
      TWinControl::Dispatch(message);
      return;
    }
    default: TWinControl::Dispatch(message);
  }
}

TUpDown::TUpDown(TComponent* owner) : TCustomUpDown(owner) {}

String TUpDown::ClassName() const { return u"TUpDown"; }

// ---- Property types and tables ----

const TTypeInfo* TypeInfoTUDAlignButton() {
  static const TTypeInfo t = TTypeInfo::Enumeration(u"TUDAlignButton", {u"udLeft", u"udRight"});
  return &t;
}

const TTypeInfo* TypeInfoTUDOrientation() {
  static const TTypeInfo t =
      TTypeInfo::Enumeration(u"TUDOrientation", {u"udHorizontal", u"udVertical"});
  return &t;
}

const TTypeInfo* TypeInfoTUDClickEvent() {
  static const TTypeInfo t = TTypeInfo::Method(u"TUDClickEvent");
  return &t;
}

const TTypeInfo* TypeInfoTUDChangingEvent() {
  static const TTypeInfo t = TTypeInfo::Method(u"TUDChangingEvent");
  return &t;
}

const TTypeInfo* TypeInfoTUDChangingEventEx() {
  static const TTypeInfo t = TTypeInfo::Method(u"TUDChangingEventEx");
  return &t;
}

void RegisterComCtrlsClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  Published<TCustomUpDown>(u"TCustomUpDown", u"TWinControl")
      .Ord(u"AlignButton", TypeInfoTUDAlignButton(), &TCustomUpDown::AlignButton,
           &TCustomUpDown::SetAlignButton, udRight)
      .Object(u"Associate", &TCustomUpDown::Associate, &TCustomUpDown::SetAssociate)
      .Bool(u"ArrowKeys", &TCustomUpDown::ArrowKeys, &TCustomUpDown::SetArrowKeys, true)
      .Int(u"Increment", &TCustomUpDown::Increment, &TCustomUpDown::SetIncrement, 1)
      .Ord(u"Max", TypeInfoSmallInt(), &TCustomUpDown::Max, &TCustomUpDown::SetMax, 100)
      .Ord(u"Min", TypeInfoSmallInt(), &TCustomUpDown::Min, &TCustomUpDown::SetMin, 0)
      .Ord(u"Orientation", TypeInfoTUDOrientation(), &TCustomUpDown::Orientation,
           &TCustomUpDown::SetOrientation, udVertical)
      .Ord(u"Position", TypeInfoSmallInt(), &TCustomUpDown::Position, &TCustomUpDown::SetPosition,
           0)
      .Bool(u"Thousands", &TCustomUpDown::Thousands, &TCustomUpDown::SetThousands, true)
      .Bool(u"Wrap", &TCustomUpDown::Wrap, &TCustomUpDown::SetWrap, false)
      .Event(u"OnClick", &TCustomUpDown::OnClick, TypeInfoTUDClickEvent())
      .Event(u"OnChanging", &TCustomUpDown::OnChanging, TypeInfoTUDChangingEvent())
      .Event(u"OnChangingEx", &TCustomUpDown::OnChangingEx, TypeInfoTUDChangingEventEx());
  Published<TUpDown>(u"TUpDown", u"TCustomUpDown").Creatable();
}
