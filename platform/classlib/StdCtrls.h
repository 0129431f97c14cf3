#pragma once
// The standard controls over the platform's window classes: the single-line edit ("EDIT"),
// the combo box ("COMBOBOX"), the push button ("BUTTON") and the windowless label. The
// masked edit is in Mask.h.
//
// Every control keeps its state while it has no window and pushes all of it into the window
// when the window appears, so descriptions and property tests run without any window.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "Controls.h"
#include "Forms.h"

enum TEditCharCase : std::uint8_t { ecNormal, ecUpperCase, ecLowerCase };
enum TComboBoxStyle : std::uint8_t {
  csDropDown,
  csSimple,  // shown as csDropDown on this platform
  csDropDownList,
  csOwnerDrawFixed,
  csOwnerDrawVariable
};
enum TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };

// ---- Edit ----
class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* owner);
  ~TCustomEdit() override;
  String ClassName() const override;
  void Dispatch(TMessage& message) override;

  // Characters the user may type; 0 means no limit.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  bool ReadOnly() const { return readOnly_; }
  virtual void SetReadOnly(bool value);
  Char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(Char value);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase value);
  // Selects the whole text when the focus arrives other than by a mouse click.
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value) { autoSelect_ = value; }
  // The height follows the font: its text height plus the border the platform draws.
  void SetAutoSize(bool value) override;
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  bool OEMConvert() const { return oemConvert_; }
  void SetOEMConvert(bool value);
  bool NumbersOnly() const { return numbersOnly_; }
  void SetNumbersOnly(bool value);
  TAlignment Alignment() const { return alignment_; }
  virtual void SetAlignment(TAlignment value);
  // The cue banner shown while the edit is empty.
  const String& TextHint() const { return textHint_; }
  void SetTextHint(const String& value);

  // ---- Selection and editing ----
  int SelStart();
  void SetSelStart(int value);
  int SelLength();
  void SetSelLength(int value);
  String SelText();
  // Replaces the selection.
  void SetSelText(const String& value);
  void SelectAll();
  void ClearSelection();
  void Clear();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void Undo();
  bool CanUndo();
  void ClearUndo();
  // Set by the user's edits; cleared when the code sets the text.
  bool Modified();
  void SetModified(bool value);

  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;
  // OnChange, unless the form is being loaded.
  virtual void Change();
  // Sends EM_SETCUEBANNER when the window exists and visual styles are on.
  virtual void DoSetTextHint(const String& value);
  // Recomputes the height when AutoSize is on and the border is single.
  void AdjustHeight();
  // An edit's AutoSize is its height from the font (AdjustHeight), never the extent of child
  // controls such as embedded buttons.
  bool CanAutoSize(int&, int&) override { return true; }
  // True while CreateWnd pushes the text in (the window's change notices are not changes).
  bool Creating() const { return creating_; }

 private:
  void CNCommand(TMessage& message);
  void CNCtlColor(TMessage& message);
  void CMEnter(TMessage& message);
  void CMTextChanged(TMessage& message);
  void CMFontChanged(TMessage& message);
  void ClampSelection();
  void ReplaceStoredSelection(const String& value);

  int maxLength_ = 0;
  bool readOnly_ = false;
  Char passwordChar_ = 0;
  TEditCharCase charCase_ = ecNormal;
  bool autoSelect_ = true;
  TBorderStyle borderStyle_ = bsSingle;
  bool hideSelection_ = true;
  bool oemConvert_ = false;
  bool numbersOnly_ = false;
  TAlignment alignment_ = taLeftJustify;
  String textHint_;
  bool modified_ = false;
  bool creating_ = false;
  // The selection while there is no window (and kept over a window's recreation).
  int selStart_ = 0;
  int selLength_ = 0;
};

class TEdit : public TCustomEdit {
 public:
  explicit TEdit(TComponent* owner);
  String ClassName() const override;
};

// ---- Combo box ----
class TCustomComboBox;

// The items of a combo box: kept here always, and mirrored into the window while it exists.
class TComboBoxStrings : public TStrings {
 public:
  explicit TComboBoxStrings(TCustomComboBox* combo) : combo_(combo) {}
  String ClassName() const override;
  int Add(const String& s) override;
  int AddObject(const String& s, TObject* object) override;
  void Insert(int index, const String& s) override;
  void Delete(int index) override;
  void Clear() override;
  void Put(int index, const String& s) override;
  int Count() const override { return static_cast<int>(items_.size()); }
  TObject* Objects(int index) const override;
  void PutObject(int index, TObject* object) override;
  // Exact matches first, case-insensitive.
  int IndexOf(const String& s) const override;
  // Sorts the items in place (when the combo box becomes sorted).
  void Sort();

 protected:
  String Get(int index) const override;
  void SetUpdateState(bool updating) override;

 private:
  friend class TCustomComboBox;
  struct Item {
    String text;
    TObject* object = nullptr;
  };
  void CheckIndex(int index) const;
  int SortedIndex(const String& s) const;
  void InsertAt(int index, const String& s, TObject* object);
  TCustomComboBox* combo_;
  std::vector<Item> items_;
};

// Setting Text from code selects the item of the same text (case-insensitive) and leaves no
// item selected when there is none; ItemIndex from code sets the text to the item's. Neither
// fires an event. The user's edits fire OnChange; the user's picks set the text, then fire
// OnClick, OnSelect and OnChange. From a description, a stored ItemIndex wins over the stored
// Text. csSimple is shown as csDropDown, the owner-drawn styles as csDropDownList.
class TCustomComboBox : public TWinControl {
 public:
  explicit TCustomComboBox(TComponent* owner);
  ~TCustomComboBox() override;
  String ClassName() const override;
  void Dispatch(TMessage& message) override;

  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle value);
  TStrings* Items() const { return items_.get(); }
  void SetItems(const TStrings* items);
  int ItemIndex();
  void SetItemIndex(int index);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int value);
  bool DroppedDown();
  void SetDroppedDown(bool value);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase value);
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value) { autoSelect_ = value; }
  int SelStart();
  void SetSelStart(int value);
  int SelLength();
  void SetSelLength(int value);
  String SelText();
  void SelectAll();
  void Clear();
  // The focus may be in the inner edit.
  bool Focused() override;
  // The edit inside a csDropDown box (0 without a window or for csDropDownList).
  HWND EditHandle();

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

 protected:
  friend class TComboBoxStrings;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;
  virtual void Change();
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();

 private:
  void CNCommand(TMessage& message);
  void CtlColor(TMessage& message);
  void CMTextChanged(TMessage& message);
  void ItemDeleted(int index);
  void ItemInserted(int index);
  void SelectItemOfText();

  std::unique_ptr<TComboBoxStrings> items_;
  TComboBoxStyle style_ = csDropDown;
  int itemIndex_ = -1;
  int dropDownCount_ = 8;
  bool sorted_ = false;
  int maxLength_ = 0;
  TEditCharCase charCase_ = ecNormal;
  bool autoSelect_ = true;
  bool creating_ = false;
  bool settingText_ = false;
  int selStart_ = 0;
  int selLength_ = 0;
};

class TComboBox : public TCustomComboBox {
 public:
  explicit TComboBox(TComponent* owner);
  String ClassName() const override;
};

// ---- Buttons ----
class TButtonControl : public TWinControl {
 public:
  explicit TButtonControl(TComponent* owner);
  String ClassName() const override;
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);

 protected:
  // While set, Click does nothing (the library sets it while it changes a check state).
  bool ClicksDisabled() const { return clicksDisabled_; }
  void SetClicksDisabled(bool value) { clicksDisabled_ = value; }

 private:
  bool wordWrap_ = false;
  bool clicksDisabled_ = false;
};

// A push button. Default: BS_DEFPUSHBUTTON while no other button has the focus, and Enter on
// the form clicks it; Cancel: Escape on the form clicks it. A click sets the parent form's
// ModalResult to the button's and fires OnClick.
class TButton : public TButtonControl {
 public:
  explicit TButton(TComponent* owner);
  String ClassName() const override;
  void Dispatch(TMessage& message) override;
  void Click() override;

  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  // Whether the button is the one Enter clicks now.
  bool Active() const { return active_; }
  // Told when the form's focus moves (nullptr: away from every button).
  void FocusChanged(TControl* focused);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void SetButtonStyle(bool isDefault);

 private:
  bool default_ = false;
  bool cancel_ = false;
  bool active_ = false;
  TModalResult modalResult_ = mrNone;
};

// ---- Label ----
// Windowless text painted by its parent with DrawTextW. With ShowAccelChar an "&" marks the
// accelerator, whose key focuses FocusControl.
class TCustomLabel : public TGraphicControl {
 public:
  explicit TCustomLabel(TComponent* owner);
  ~TCustomLabel() override;
  String ClassName() const override;
  void Dispatch(TMessage& message) override;

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  // The bounds follow the text (the width too unless WordWrap); the left edge stays put for
  // left-justified text, the right edge for right-justified, the centre for centred.
  void SetAutoSize(bool value) override;
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool Transparent() const;
  void SetTransparent(bool value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* control);
  // The DrawTextW flags the label paints with.
  UINT DrawTextFlags() const;

 protected:
  void Paint() override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void AdjustBounds();
  // Draws (or with DT_CALCRECT measures) the caption on the canvas.
  virtual void DoDrawText(TCanvas* canvas, TRect& rect, UINT flags);
  virtual String GetLabelText();

 private:
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
  bool constructed_ = false;
};

class TLabel : public TCustomLabel {
 public:
  explicit TLabel(TComponent* owner);
  String ClassName() const override;
};

// ---- Property types ----
const TTypeInfo* TypeInfoTEditCharCase();
const TTypeInfo* TypeInfoTComboBoxStyle();
const TTypeInfo* TypeInfoTTextLayout();

// Registers the tables of the edits, the combo boxes, the buttons and the labels.
void RegisterStdCtrlsClasses();
