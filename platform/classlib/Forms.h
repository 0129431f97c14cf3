#pragma once
// Forms, the application object and the screen.
//
// A form is made in two steps, because a C++ constructor cannot reach the derived class's
// virtuals: `new T(owner)`, then AfterConstruction(), which reads the embedded description of
// the class (and of its ancestors below TForm) and then runs OnCreate. CreateNewForm<T> and
// TApplication::CreateForm<T> do both.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "Controls.h"
#include "FormDescriptions.h"
#include "ScopeGuard.h"

class TForm;
class TCustomForm;
class TMonitor;

// ---- Modal results ----
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrClose = 8;
constexpr TModalResult mrHelp = 9;
constexpr TModalResult mrTryAgain = 10;
constexpr TModalResult mrContinue = 11;
constexpr TModalResult mrAll = 12;
constexpr TModalResult mrNoToAll = 13;
constexpr TModalResult mrYesToAll = 14;

enum TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
enum TWindowState : std::uint8_t { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle : std::uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition : std::uint8_t {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TBorderIcon : std::uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TEnumSet<TBorderIcon>;
enum TDefaultMonitor : std::uint8_t { dmDesktop, dmPrimary, dmMainForm, dmActiveForm };
enum TMonitorDefaultTo : std::uint8_t { mdNearest, mdNull, mdPrimary };
enum TFormStateItem : std::uint8_t {
  fsCreating,
  fsVisible,
  fsShowing,
  fsModal,
  fsCreatedMDIChild,
  fsActivated
};
using TFormState = TEnumSet<TFormStateItem>;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

// ---- Forms ----
class TCustomForm : public TScrollingWinControl, private TCanvasDCProvider {
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  String ClassName() const override;
  void Dispatch(TMessage& message) override;

  // Reads the class's description (unless made bare) and runs OnCreate. A failed read raises
  // the EDescriptionError; the caller deletes the form (CreateNewForm does).
  virtual void AfterConstruction();
  // OnDestroy; runs once, before the form is deleted by the library (or at the latest from
  // the destructor).
  virtual void BeforeDestruction();
  // Forms that are not to read a description (built in code).
  void SetReadsDescription(bool reads) { readsDescription_ = reads; }

  // ---- Showing and closing ----
  void Show();
  void Hide();
  // OnCloseQuery, then OnClose with caHide; the main form's close ends the application.
  void Close();
  virtual bool CloseQuery();
  // Runs a modal loop on the application's queue until ModalResult is not mrNone; other
  // forms are disabled meanwhile. Returns the modal result.
  virtual TModalResult ShowModal();
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult result) { modalResult_ = result; }
  // Deletes the form once the queue reaches a posted CM_RELEASE.
  void Release();
  TFormState FormState() const { return formState_; }
  bool Active() const { return active_; }

  // ---- Focus ----
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  void FocusControl(TWinControl* control);
  // Moves the form's focus note to control, sending CM_EXIT up the old chain and CM_ENTER down
  // the new one. Returns false when a handler moved the focus elsewhere meanwhile.
  bool SetFocusedControl(TWinControl* control);
  void DefocusControl(TWinControl* control, bool removing);
  // Focuses the form's active control (the form itself when none); raises when hidden.
  void SetFocus() override;
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }
  bool WantChildKey(TControl* child, TMessage& message);

  // ---- Window appearance ----
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons icons);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState state);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle style);
  TDefaultMonitor DefaultMonitor() const { return defaultMonitor_; }
  void SetDefaultMonitor(TDefaultMonitor m) { defaultMonitor_ = m; }
  TMonitor* Monitor();
  TCanvas* Canvas() { return canvas_.get(); }

  // Stored as written in descriptions; while reading they are applied after the block.
  void SetClientWidth(int v) override;
  void SetClientHeight(int v) override;
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int v) { pixelsPerInch_ = v; }
  int TextHeight() const { return textHeight_; }
  void SetTextHeight(int v) { textHeight_ = v; }
  bool OldCreateOrder() const { return oldCreateOrder_; }
  void SetOldCreateOrder(bool v) { oldCreateOrder_ = v; }
  bool Scaled() const { return scaled_; }
  void SetScaled(bool v) { scaled_ = v; }

  // ---- Events ----
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;
  void ReadState(TReader* reader) override;
  void Notification(TComponent* component, TOperation operation) override;
  void PaintWindow(HDC dc) override;
  void SetVisible(bool visible) override;

 public:
  // The controls, then the components the form owns that have no parent (timers, dialogs).
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

 protected:
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual void Activate();
  virtual void Deactivate();
  virtual void Paint();
  void CloseModal();
  // Positions the window by Position before it is first shown.
  void ApplyPosition();

 private:
  friend class TApplication;
  HDC AcquireCanvasDC() override;
  void ReleaseCanvasDC(HDC dc) override;
  void WMActivate(TMessage& message);
  void SetActive(bool active);
  void SetWindowFocus();
  void ShowingChanged();

  std::unique_ptr<TControlCanvas> canvas_;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TPosition position_ = poDefaultPosOnly;
  TWindowState windowState_ = wsNormal;
  TFormStyle formStyle_ = fsNormal;
  TDefaultMonitor defaultMonitor_ = dmActiveForm;
  TModalResult modalResult_ = mrNone;
  TFormState formState_;
  int pixelsPerInch_ = ScreenPixelsPerInch;
  int textHeight_ = 13;
  bool oldCreateOrder_ = false;
  bool scaled_ = true;
  bool keyPreview_ = false;
  bool active_ = false;
  bool readsDescription_ = true;
  bool created_ = false;
  bool destroyed_ = false;
  bool positioned_ = false;
  int pendingClientWidth_ = -1;
  int pendingClientHeight_ = -1;
};

class TForm : public TCustomForm {
 public:
  explicit TForm(TComponent* owner);
  String ClassName() const override;
};

// new T(owner) and AfterConstruction; on failure the form is deleted and the error rethrown.
// A bare form is of a class without a description of its own, built in code.
template <class T>
T* ConstructForm(TComponent* owner, bool readsDescription) {
  T* form = new T(owner);
  if (!readsDescription) form->SetReadsDescription(false);
  ScopeGuard deleteOnFailure([form] { delete form; });
  form->AfterConstruction();
  deleteOnFailure.Dismiss();
  return form;
}
template <class T>
T* CreateNewForm(TComponent* owner) {
  return ConstructForm<T>(owner, true);
}
template <class T>
T* CreateBareForm(TComponent* owner) {
  return ConstructForm<T>(owner, false);
}

// The form a control is on: the nearest form up the parent chain, or with topForm the
// outermost one. nullptr when none.
TCustomForm* GetParentForm(TControl* control, bool topForm = true);
// As GetParentForm; EInvalidOperation("Control '%s' has no parent window") when none.
TCustomForm* ValidParentForm(TControl* control, bool topForm = true);

// ---- Hints ----
// A popup that shows one hint text and never takes activation.
class THintWindow : public TCustomControl {
 public:
  explicit THintWindow(TComponent* owner);
  String ClassName() const override;
  // Shows the text in the rectangle (screen coordinates).
  virtual void ActivateHint(TRect rect, const String& hint);
  virtual TRect CalcHintRect(int maxWidth, const String& hint);
  void ReleaseHandle();

 protected:
  void CreateParams(TCreateParams& params) override;
  void Dispatch(TMessage& message) override;
  void Paint() override;
};

// ---- Monitors and the screen ----
class TMonitor : public TObject {
 public:
  String ClassName() const override;
  HMONITOR Handle() const { return handle_; }
  int MonitorNum() const { return num_; }
  TRect BoundsRect() const;
  TRect WorkareaRect() const;
  int Left() const { return BoundsRect().left; }
  int Top() const { return BoundsRect().top; }
  int Width() const { return RectWidth(BoundsRect()); }
  int Height() const { return RectHeight(BoundsRect()); }
  bool Primary() const;

 private:
  friend class TScreen;
  HMONITOR handle_ = 0;
  int num_ = 0;
};

class TScreen : public TComponent {
 public:
  explicit TScreen(TComponent* owner);
  ~TScreen() override;
  String ClassName() const override;

  int FormCount() const { return static_cast<int>(forms_.size()); }
  TCustomForm* Forms(int index) const { return forms_.at(static_cast<std::size_t>(index)); }
  TCustomForm* ActiveForm() const { return activeForm_; }
  TWinControl* ActiveControl() const { return activeControl_; }
  TCustomForm* ActiveCustomForm() const { return activeForm_; }
  int Width() const;
  int Height() const;
  int DesktopWidth() const;
  int DesktopHeight() const;
  TRect DesktopRect() const;
  // The primary monitor's work area.
  TRect WorkAreaRect() const;
  int WorkAreaWidth() const { return RectWidth(WorkAreaRect()); }
  int WorkAreaHeight() const { return RectHeight(WorkAreaRect()); }
  int MonitorCount();
  TMonitor* Monitors(int index);
  TMonitor* PrimaryMonitor();
  TMonitor* MonitorFromPoint(TPoint point, TMonitorDefaultTo defaultTo = mdNearest);
  TMonitor* MonitorFromRect(const TRect& rect, TMonitorDefaultTo defaultTo = mdNearest);
  TMonitor* MonitorFromWindow(HWND hwnd, TMonitorDefaultTo defaultTo = mdNearest);
  int PixelsPerInch() const { return ScreenPixelsPerInch; }
  // crDefault lets each control's cursor show; anything else overrides them all.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  TNotifyEvent OnActiveControlChange;
  TNotifyEvent OnActiveFormChange;
  // A control that goes is no longer the active one.
  void ForgetControl(TControl* control);

 private:
  friend class TCustomForm;
  friend class TApplication;
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  void SetActiveForm(TCustomForm* form);
  void SetActiveControl(TWinControl* control);
  TMonitor* FindMonitor(HMONITOR handle);
  void GetMonitors();
  std::vector<TCustomForm*> forms_;
  std::vector<std::unique_ptr<TMonitor>> monitors_;
  int monitorCount_ = 0;
  TCustomForm* activeForm_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  TCursor cursor_ = crDefault;
};

// ---- The application ----
using TExceptionEvent = std::function<void(TObject* sender, const Exception& e)>;
using TIdleEvent = std::function<void(TObject* sender, bool& done)>;
using TMessageEvent = std::function<void(MSG& msg, bool& handled)>;
// The message box the application shows errors in (text, caption, MB_ flags -> ID_ result).
using TMessageBoxHandler =
    std::function<int(HWND owner, const String& text, const String& caption, UINT flags)>;

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;
  String ClassName() const override;

  void Initialize();
  // The first form created becomes the main form. The reference is set before the form's
  // description is read, and cleared again when creation fails.
  template <class T>
  void CreateForm(T*& reference) {
    T* form = new T(this);
    reference = form;
    ScopeGuard deleteOnFailure([&reference, form] {
      reference = nullptr;
      delete form;
    });
    form->AfterConstruction();
    deleteOnFailure.Dismiss();
    if (!mainForm_) SetMainForm(form);
  }
  // Shows the main form and runs the loop until Terminated.
  void Run();
  // Removes and dispatches one message, or runs Idle (which waits) when there is none.
  void HandleMessage();
  // Dispatches every message waiting now.
  void ProcessMessages();
  // Hints and OnIdle; waits for the next message unless OnIdle says it is not done.
  void Idle(const MSG& msg);
  void Terminate();
  bool Terminated() const { return terminated_; }
  // True while one of the application's windows is active.
  bool Active() const { return active_; }
  // Minimises the main form to the task bar through the window manager (its owned windows go
  // with it) and brings it back as it was, maximised or not; OnMinimize and OnRestore follow.
  void Minimize();
  void Restore();

  TCustomForm* MainForm() const { return mainForm_; }
  void SetMainForm(TCustomForm* form);
  bool MainFormOnTaskBar() const { return mainFormOnTaskBar_; }
  void SetMainFormOnTaskBar(bool value) { mainFormOnTaskBar_ = value; }
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool value) { showMainForm_ = value; }
  // The title of message boxes; the executable's name without extension when empty.
  String Title() const;
  void SetTitle(const String& title) { title_ = title; }
  String ExeName() const;
  // The hidden application window.
  HWND Handle();
  bool HandleAllocated() const { return handle_ != 0; }

  // ---- Errors ----
  // OnException when assigned, otherwise ShowException. Never throws.
  void HandleException(TObject* sender);
  void ShowException(const Exception& e);
  int MessageBox(const String& text, const String& caption, UINT flags = MB_OK);
  // Replaces the message box (tests answer it); returns the previous one.
  static TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler);
  TExceptionEvent OnException;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  TIdleEvent OnIdle;
  TMessageEvent OnMessage;
  TNotifyEvent OnHint;

  // ---- Hints ----
  const String& Hint() const { return hint_; }
  void SetHint(const String& hint);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  int HintPause() const { return hintPause_; }
  void SetHintPause(int ms) { hintPause_ = ms; }
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int ms) { hintHidePause_ = ms; }
  void ActivateHint(TPoint cursorPos);
  void CancelHint();
  THintWindow* HintWindow() const { return hintWindow_; }
  // The hint control the pointer is over (for tests).
  TControl* HintControl() const { return hintControl_; }

  // The control that gets keys: true when the message was handled as a key message
  // (CN_KEYDOWN / CN_CHAR and dialog keys) and must not be dispatched.
  bool IsKeyMsg(MSG& msg);
  bool ProcessMessage(MSG& msg);
  // The mouse enter / leave bookkeeping of the pointer at this position.
  void DoMouseIdle();
  void HintMouseMessage(TControl* control, TMessage& message);
  // Sent by a form on WM_ACTIVATEAPP.
  void SetActive(bool active);

 private:
  friend class TCustomForm;
  static LRESULT AppWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void HintTimerExpired();
  void CreateHintWindow();
  HWND handle_ = 0;
  TCustomForm* mainForm_ = nullptr;
  bool mainFormOnTaskBar_ = false;
  bool showMainForm_ = true;
  bool terminated_ = false;
  bool active_ = false;
  bool running_ = false;
  String title_;
  String hint_;
  bool showHint_ = true;
  int hintPause_ = 500;
  int hintHidePause_ = 2500;
  THintWindow* hintWindow_ = nullptr;
  TControl* hintControl_ = nullptr;
  bool hintActive_ = false;
  UINT_PTR hintTimer_ = 0;
  int handlingException_ = 0;
};

// The global application and screen, created on first use (constant-initialised handles, so
// unit initialisations may use them in any order).
class TApplicationRef {
 public:
  constexpr TApplicationRef() = default;
  TApplication* operator->() const { return Get(); }
  operator TApplication*() const { return Get(); }  // NOLINT: reads as the global object
  TApplication* Get() const;
};
class TScreenRef {
 public:
  constexpr TScreenRef() = default;
  TScreen* operator->() const { return Get(); }
  operator TScreen*() const { return Get(); }  // NOLINT
  TScreen* Get() const;
};
extern const TApplicationRef Application;
extern const TScreenRef Screen;

// The end of the program: every form's OnDestroy runs (last created first), then the forms
// and the application object go. Call it before the window system and the host are shut down.
void DoneApplication();
// DoneApplication, then the screen object too and the test seams, so the next use starts
// afresh. Tests call it with UserResetForTesting().
void ResetApplicationForTesting();

// Frees component when the application's loop next dispatches, unless it has gone before
// (with its owner): for a control that ends itself from inside its own messages.
void ReleaseComponent(TComponent* component);

// Registers the tables of TCustomForm, TForm and THintWindow.
void RegisterFormClasses();
// Every class of the library: controls, forms, timer and the standard controls.
void RegisterClassLibrary();

// Property types.
const TTypeInfo* TypeInfoTPosition();
const TTypeInfo* TypeInfoTWindowState();
const TTypeInfo* TypeInfoTFormStyle();
const TTypeInfo* TypeInfoTBorderIcons();
const TTypeInfo* TypeInfoTCloseEvent();
const TTypeInfo* TypeInfoTCloseQueryEvent();
