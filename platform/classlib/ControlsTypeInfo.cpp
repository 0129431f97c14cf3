// Property types and published tables of the control, form and timer classes.
#include "Buttons.h"
#include "ComCtrls.h"
#include "Controls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "GraphicsTypeInfo.h"
#include "Mask.h"
#include "PrintDialogs.h"
#include "StdCtrls.h"
#include "Timer.h"

#define KORV_TYPE(fn, expr)          \
  const TTypeInfo* fn() {            \
    static const TTypeInfo t = expr; \
    return &t;                       \
  }

KORV_TYPE(TypeInfoTAlign,
          TTypeInfo::Enumeration(u"TAlign", {u"alNone", u"alTop", u"alBottom", u"alLeft",
                                             u"alRight", u"alClient", u"alCustom"}))
KORV_TYPE(TypeInfoTAlignment,
          TTypeInfo::Enumeration(u"TAlignment", {u"taLeftJustify", u"taRightJustify", u"taCenter"}))
KORV_TYPE(TypeInfoTAnchorKind,
          TTypeInfo::Enumeration(u"TAnchorKind", {u"akLeft", u"akTop", u"akRight", u"akBottom"}))
KORV_TYPE(TypeInfoTAnchors, TTypeInfo::Set(u"TAnchors", TypeInfoTAnchorKind()))
KORV_TYPE(TypeInfoTBiDiMode,
          TTypeInfo::Enumeration(u"TBiDiMode",
                                 {u"bdLeftToRight", u"bdRightToLeft", u"bdRightToLeftNoAlign",
                                  u"bdRightToLeftReadingOnly"}))
KORV_TYPE(TypeInfoTDragKind, TTypeInfo::Enumeration(u"TDragKind", {u"dkDrag", u"dkDock"}))
KORV_TYPE(TypeInfoTDragMode, TTypeInfo::Enumeration(u"TDragMode", {u"dmManual", u"dmAutomatic"}))
KORV_TYPE(TypeInfoTBorderStyle, TTypeInfo::Enumeration(u"TBorderStyle", {u"bsNone", u"bsSingle"}))
KORV_TYPE(TypeInfoTFormBorderStyle,
          TTypeInfo::Enumeration(u"TFormBorderStyle",
                                 {u"bsNone", u"bsSingle", u"bsSizeable", u"bsDialog",
                                  u"bsToolWindow", u"bsSizeToolWin"}))
KORV_TYPE(TypeInfoTMouseButton,
          TTypeInfo::Enumeration(u"TMouseButton", {u"mbLeft", u"mbRight", u"mbMiddle"}))
namespace {
KORV_TYPE(TypeInfoTShiftStateItem,
          TTypeInfo::Enumeration(u"TShiftStateItem", {u"ssShift", u"ssAlt", u"ssCtrl", u"ssLeft",
                                                      u"ssRight", u"ssMiddle", u"ssDouble"}))
KORV_TYPE(TypeInfoTBorderIcon,
          TTypeInfo::Enumeration(u"TBorderIcon",
                                 {u"biSystemMenu", u"biMinimize", u"biMaximize", u"biHelp"}))
KORV_TYPE(TypeInfoTDefaultMonitor,
          TTypeInfo::Enumeration(u"TDefaultMonitor",
                                 {u"dmDesktop", u"dmPrimary", u"dmMainForm", u"dmActiveForm"}))
KORV_TYPE(TypeInfoTMouseWheelEvent, TTypeInfo::Method(u"TMouseWheelEvent"))
KORV_TYPE(TypeInfoTMouseWheelUpDownEvent, TTypeInfo::Method(u"TMouseWheelUpDownEvent"))
KORV_TYPE(TypeInfoTContextPopupEvent, TTypeInfo::Method(u"TContextPopupEvent"))
KORV_TYPE(TypeInfoTCanResizeEvent, TTypeInfo::Method(u"TCanResizeEvent"))
KORV_TYPE(TypeInfoTConstrainedResizeEvent, TTypeInfo::Method(u"TConstrainedResizeEvent"))
KORV_TYPE(TypeInfoTDragDropEvent, TTypeInfo::Method(u"TDragDropEvent"))
KORV_TYPE(TypeInfoTDragOverEvent, TTypeInfo::Method(u"TDragOverEvent"))
KORV_TYPE(TypeInfoTEndDragEvent, TTypeInfo::Method(u"TEndDragEvent"))
KORV_TYPE(TypeInfoTStartDragEvent, TTypeInfo::Method(u"TStartDragEvent"))
KORV_TYPE(TypeInfoTMouseActivateEvent, TTypeInfo::Method(u"TMouseActivateEvent"))
}  // namespace
KORV_TYPE(TypeInfoTShiftState, TTypeInfo::Set(u"TShiftState", TypeInfoTShiftStateItem()))
KORV_TYPE(TypeInfoTCaption, TTypeInfo::UString(u"TCaption"))
KORV_TYPE(TypeInfoTMouseEvent, TTypeInfo::Method(u"TMouseEvent"))
KORV_TYPE(TypeInfoTMouseMoveEvent, TTypeInfo::Method(u"TMouseMoveEvent"))
KORV_TYPE(TypeInfoTKeyEvent, TTypeInfo::Method(u"TKeyEvent"))
KORV_TYPE(TypeInfoTKeyPressEvent, TTypeInfo::Method(u"TKeyPressEvent"))
KORV_TYPE(TypeInfoTPosition,
          TTypeInfo::Enumeration(u"TPosition",
                                 {u"poDesigned", u"poDefault", u"poDefaultPosOnly",
                                  u"poDefaultSizeOnly", u"poScreenCenter", u"poDesktopCenter",
                                  u"poMainFormCenter", u"poOwnerFormCenter"}))
KORV_TYPE(TypeInfoTWindowState,
          TTypeInfo::Enumeration(u"TWindowState", {u"wsNormal", u"wsMinimized", u"wsMaximized"}))
KORV_TYPE(TypeInfoTFormStyle, TTypeInfo::Enumeration(u"TFormStyle", {u"fsNormal", u"fsMDIChild",
                                                                     u"fsMDIForm", u"fsStayOnTop"}))
KORV_TYPE(TypeInfoTBorderIcons, TTypeInfo::Set(u"TBorderIcons", TypeInfoTBorderIcon()))
KORV_TYPE(TypeInfoTCloseEvent, TTypeInfo::Method(u"TCloseEvent"))
KORV_TYPE(TypeInfoTCloseQueryEvent, TTypeInfo::Method(u"TCloseQueryEvent"))

const TTypeInfo* TypeInfoTCursor() {
  static const TTypeInfo t = TTypeInfo::Integer(
      u"TCursor", otSWord,
      {{crDefault, u"crDefault"},     {crNone, u"crNone"},           {crArrow, u"crArrow"},
       {crCross, u"crCross"},         {crIBeam, u"crIBeam"},         {crSizeNESW, u"crSizeNESW"},
       {crSizeNS, u"crSizeNS"},       {crSizeNWSE, u"crSizeNWSE"},   {crSizeWE, u"crSizeWE"},
       {crUpArrow, u"crUpArrow"},     {crHourGlass, u"crHourGlass"}, {crDrag, u"crDrag"},
       {crNoDrop, u"crNoDrop"},       {crHSplit, u"crHSplit"},       {crVSplit, u"crVSplit"},
       {crMultiDrag, u"crMultiDrag"}, {crSQLWait, u"crSQLWait"},     {crNo, u"crNo"},
       {crAppStart, u"crAppStart"},   {crHelp, u"crHelp"},           {crHandPoint, u"crHandPoint"},
       {crSizeAll, u"crSizeAll"}});
  return &t;
}

#undef KORV_TYPE

void RegisterControlClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterStandardClassTables();

  Published<TSizeConstraints>(u"TSizeConstraints", u"TPersistent")
      .Int(u"MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight, 0)
      .Int(u"MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth, 0)
      .Int(u"MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight, 0)
      .Int(u"MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth, 0);

  Published<TControlScrollBar>(u"TControlScrollBar", u"TPersistent")
      .Int(u"Increment", &TControlScrollBar::Increment, &TControlScrollBar::SetIncrement, 8)
      .Int(u"Margin", &TControlScrollBar::Margin, &TControlScrollBar::SetMargin, 0)
      .Int(u"Range", &TControlScrollBar::Range, &TControlScrollBar::SetRange, 0)
      .Int(u"Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition, 0)
      .Bool(u"Tracking", &TControlScrollBar::Tracking, &TControlScrollBar::SetTracking, false)
      .Bool(u"Visible", &TControlScrollBar::Visible, &TControlScrollBar::SetVisible, true);

  Published<TControl>(u"TControl", u"TComponent")
      .Int(u"Left", &TControl::Left, &TControl::SetLeft)
      .Int(u"Top", &TControl::Top, &TControl::SetTop)
      .Int(u"Width", &TControl::Width, &TControl::SetWidth)
      .Int(u"Height", &TControl::Height, &TControl::SetHeight)
      .Ord(u"Cursor", TypeInfoTCursor(), &TControl::Cursor, &TControl::SetCursor, crDefault)
      .Str(u"Hint", &TControl::Hint, &TControl::SetHint)
      .Ord(u"Align", TypeInfoTAlign(), &TControl::Align, &TControl::SetAlign, alNone)
      .Ord(u"Anchors", TypeInfoTAnchors(), &TControl::Anchors, &TControl::SetAnchors,
           TAnchors{akLeft, akTop})
      .Ord(u"BiDiMode", TypeInfoTBiDiMode(), &TControl::BiDiMode, &TControl::SetBiDiMode,
           bdLeftToRight)
      .StoredIf([](TControl* c) { return !c->ParentBiDiMode(); })
      .Ord(u"Color", TypeInfoTColor(), &TControl::Color, &TControl::SetColor, clWindow)
      .StoredIf(&TControl::IsColorStored)
      .Object(u"Constraints", &TControl::Constraints, &TControl::SetConstraints)
      .Ord(u"DragCursor", TypeInfoTCursor(), &TControl::DragCursor, &TControl::SetDragCursor,
           crDrag)
      .Ord(u"DragKind", TypeInfoTDragKind(), &TControl::DragKind, &TControl::SetDragKind, dkDrag)
      .Ord(u"DragMode", TypeInfoTDragMode(), &TControl::DragMode, &TControl::SetDragMode, dmManual)
      .Bool(u"Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
      .Object(u"Font", &TControl::Font, &TControl::SetFont)
      .StoredIf(&TControl::IsFontStored)
      .Bool(u"ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode, true)
      .Bool(u"ParentColor", &TControl::ParentColor, &TControl::SetParentColor, true)
      .Bool(u"ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
      .Bool(u"ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true)
      .Bool(u"ShowHint", &TControl::ShowHint, &TControl::SetShowHint, false)
      .StoredIf([](TControl* c) { return !c->ParentShowHint(); })
      .Bool(u"Visible", &TControl::Visible, &TControl::SetVisible, true)
      .Event(u"OnClick", &TControl::OnClick)
      .Event(u"OnDblClick", &TControl::OnDblClick)
      .Event(u"OnMouseDown", &TControl::OnMouseDown, TypeInfoTMouseEvent())
      .Event(u"OnMouseMove", &TControl::OnMouseMove, TypeInfoTMouseMoveEvent())
      .Event(u"OnMouseUp", &TControl::OnMouseUp, TypeInfoTMouseEvent())
      .Event(u"OnMouseEnter", &TControl::OnMouseEnter)
      .Event(u"OnMouseLeave", &TControl::OnMouseLeave)
      .Event(u"OnMouseWheel", &TControl::OnMouseWheel, TypeInfoTMouseWheelEvent())
      .Event(u"OnMouseWheelDown", &TControl::OnMouseWheelDown, TypeInfoTMouseWheelUpDownEvent())
      .Event(u"OnMouseWheelUp", &TControl::OnMouseWheelUp, TypeInfoTMouseWheelUpDownEvent())
      .Event(u"OnMouseActivate", &TControl::OnMouseActivate, TypeInfoTMouseActivateEvent())
      .Event(u"OnResize", &TControl::OnResize)
      .Event(u"OnCanResize", &TControl::OnCanResize, TypeInfoTCanResizeEvent())
      .Event(u"OnConstrainedResize", &TControl::OnConstrainedResize,
             TypeInfoTConstrainedResizeEvent())
      .Event(u"OnContextPopup", &TControl::OnContextPopup, TypeInfoTContextPopupEvent())
      .Event(u"OnDragDrop", &TControl::OnDragDrop, TypeInfoTDragDropEvent())
      .Event(u"OnDragOver", &TControl::OnDragOver, TypeInfoTDragOverEvent())
      .Event(u"OnEndDrag", &TControl::OnEndDrag, TypeInfoTEndDragEvent())
      .Event(u"OnEndDock", &TControl::OnEndDock, TypeInfoTEndDragEvent())
      .Event(u"OnStartDrag", &TControl::OnStartDrag, TypeInfoTStartDragEvent())
      .Event(u"OnStartDock", &TControl::OnStartDock, TypeInfoTStartDragEvent());

  Published<TWinControl>(u"TWinControl", u"TControl")
      .Int(u"TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder, -1)
      .Bool(u"TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false)
      .Bool(u"Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D, true)
      .StoredIf([](TWinControl* c) { return !c->ParentCtl3D(); })
      .Bool(u"ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D, true)
      .Bool(u"DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered, false)
      .StoredIf([](TWinControl* c) { return !c->ParentDoubleBuffered(); })
      .Bool(u"ParentDoubleBuffered", &TWinControl::ParentDoubleBuffered,
            &TWinControl::SetParentDoubleBuffered, true)
      .Bool(u"ParentBackground", &TWinControl::ParentBackground, &TWinControl::SetParentBackground,
            false)
      .Bool(u"DockSite", &TWinControl::DockSite, &TWinControl::SetDockSite, false)
      .Bool(u"UseDockManager", &TWinControl::UseDockManager, &TWinControl::SetUseDockManager, false)
      .Event(u"OnEnter", &TWinControl::OnEnter)
      .Event(u"OnExit", &TWinControl::OnExit)
      .Event(u"OnKeyDown", &TWinControl::OnKeyDown, TypeInfoTKeyEvent())
      .Event(u"OnKeyPress", &TWinControl::OnKeyPress, TypeInfoTKeyPressEvent())
      .Event(u"OnKeyUp", &TWinControl::OnKeyUp, TypeInfoTKeyEvent());

  Published<TGraphicControl>(u"TGraphicControl", u"TControl");
  Published<TCustomControl>(u"TCustomControl", u"TWinControl");

  Published<TScrollingWinControl>(u"TScrollingWinControl", u"TWinControl")
      .Bool(u"AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll,
            true)
      .Object(u"HorzScrollBar", &TScrollingWinControl::HorzScrollBar,
              &TScrollingWinControl::SetHorzScrollBar)
      .Object(u"VertScrollBar", &TScrollingWinControl::VertScrollBar,
              &TScrollingWinControl::SetVertScrollBar);

  Published<TScrollBox>(u"TScrollBox", u"TScrollingWinControl")
      .Creatable()
      .Ord(u"BorderStyle", TypeInfoTBorderStyle(), &TScrollBox::BorderStyle,
           &TScrollBox::SetBorderStyle, bsSingle);
}

void RegisterFormClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterControlClasses();

  Published<TCustomForm>(u"TCustomForm", u"TScrollingWinControl")
      .Int(u"Width", &TControl::Width, &TControl::SetWidth)
      .StoredIf([](TCustomForm* f) { return f->AutoScroll(); })
      .Int(u"Height", &TControl::Height, &TControl::SetHeight)
      .StoredIf([](TCustomForm* f) { return f->AutoScroll(); })
      .Ord(u"Color", TypeInfoTColor(), &TControl::Color, &TControl::SetColor)
      .Bool(u"ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false)
      .Bool(u"ParentFont", &TControl::ParentFont, &TControl::SetParentFont, false)
      .Bool(u"Visible", &TControl::Visible, &TControl::SetVisible, false)
      .Bool(u"AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll,
            false)
      .Object(u"ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl)
      .Ord(u"BorderIcons", TypeInfoTBorderIcons(), &TCustomForm::BorderIcons,
           &TCustomForm::SetBorderIcons, TBorderIcons{biSystemMenu, biMinimize, biMaximize})
      .Ord(u"BorderStyle", TypeInfoTFormBorderStyle(), &TCustomForm::BorderStyle,
           &TCustomForm::SetBorderStyle, bsSizeable)
      .Str(u"Caption", &TControl::Caption, &TControl::SetCaption)
      .Int(u"ClientHeight", &TControl::ClientHeight, &TCustomForm::SetClientHeight)
      .StoredIf([](TCustomForm* f) { return !f->AutoScroll(); })
      .Int(u"ClientWidth", &TControl::ClientWidth, &TCustomForm::SetClientWidth)
      .StoredIf([](TCustomForm* f) { return !f->AutoScroll(); })
      .Ord(u"DefaultMonitor", TypeInfoTDefaultMonitor(), &TCustomForm::DefaultMonitor,
           &TCustomForm::SetDefaultMonitor, dmActiveForm)
      .Ord(u"FormStyle", TypeInfoTFormStyle(), &TCustomForm::FormStyle, &TCustomForm::SetFormStyle,
           fsNormal)
      .Bool(u"KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview, false)
      .Bool(u"OldCreateOrder", &TCustomForm::OldCreateOrder, &TCustomForm::SetOldCreateOrder)
      .Ord(u"Position", TypeInfoTPosition(), &TCustomForm::Position, &TCustomForm::SetPosition,
           poDefaultPosOnly)
      .Bool(u"Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled, true)
      .Ord(u"WindowState", TypeInfoTWindowState(), &TCustomForm::WindowState,
           &TCustomForm::SetWindowState, wsNormal)
      .Int(u"PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch)
      .Int(u"TextHeight", &TCustomForm::TextHeight, &TCustomForm::SetTextHeight)
      .Event(u"OnActivate", &TCustomForm::OnActivate)
      .Event(u"OnClose", &TCustomForm::OnClose, TypeInfoTCloseEvent())
      .Event(u"OnCloseQuery", &TCustomForm::OnCloseQuery, TypeInfoTCloseQueryEvent())
      .Event(u"OnCreate", &TCustomForm::OnCreate)
      .Event(u"OnDeactivate", &TCustomForm::OnDeactivate)
      .Event(u"OnDestroy", &TCustomForm::OnDestroy)
      .Event(u"OnHide", &TCustomForm::OnHide)
      .Event(u"OnPaint", &TCustomForm::OnPaint)
      .Event(u"OnShow", &TCustomForm::OnShow);

  Published<TForm>(u"TForm", u"TCustomForm").Creatable();
  Published<THintWindow>(u"THintWindow", u"TCustomControl");
}

void RegisterTimerClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterStandardClassTables();
  Published<TTimer>(u"TTimer", u"TComponent")
      .Creatable()
      .Bool(u"Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true)
      .Ord(u"Interval", TypeInfoCardinal(), &TTimer::Interval, &TTimer::SetInterval, 1000u)
      .Event(u"OnTimer", &TTimer::OnTimerRef);
}

// Every unit of the class library, once; the units above call this rather than the registrars
// of single units, so each new unit is registered in this one place.
void RegisterClassLibrary() {
  RegisterControlClasses();
  RegisterFormClasses();
  RegisterTimerClasses();
  RegisterStdCtrlsClasses();
  RegisterMaskClasses();
  RegisterExtCtrlsClasses();
  RegisterButtonsClasses();
  RegisterComCtrlsClasses();
  RegisterPrintDialogClasses();
}
