#include "StdCtrls.h"

#include <algorithm>

#include "Colors.h"
#include "GraphicsTypeInfo.h"
#include "ScopeGuard.h"
#include "SysInfo.h"
#include "SystemControls.h"  // the platform window classes
#include "Themes.h"

namespace {

bool Loading(const TComponent* c) { return c->ComponentState().Contains(csLoading); }

String CaseConverted(const String& s, TEditCharCase charCase) {
  switch (charCase) {
    case ecUpperCase: return AnsiUpperCase(s);
    case ecLowerCase: return AnsiLowerCase(s);
    default: return s;
  }
}

// The colours a control gives its window's painting: its font colour on its brush.
LRESULT ControlColors(TWinControl* control, HDC dc) {
  SetTextColor(dc, ColorToRGB(control->Font()->Color()));
  SetBkColor(dc, ColorToRGB(control->Brush()->Color()));
  return LRESULT(control->Brush()->Handle());
}

}  // namespace

// ======================================================================================
// TCustomEdit
// ======================================================================================

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(TControlStyle{csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight});
  SetBounds(Left(), Top(), 121, 21);
  SetTabStop(true);
  SetParentColor(false);
  TControl::SetColor(clWindow);
  TControl::SetAutoSize(true);
}

TCustomEdit::~TCustomEdit() = default;

String TCustomEdit::ClassName() const { return u"TCustomEdit"; }

void TCustomEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, u"EDIT");
  params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  params.Style &= ~(ES_CENTER | ES_RIGHT | ES_MULTILINE);
  if (borderStyle_ == bsSingle) {
    if (Ctl3D()) {
      params.Style &= ~WS_BORDER;
      params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
      params.Style |= WS_BORDER;
    }
  }
  if (passwordChar_) params.Style |= ES_PASSWORD;
  if (readOnly_) params.Style |= ES_READONLY;
  if (charCase_ == ecUpperCase) params.Style |= ES_UPPERCASE;
  if (charCase_ == ecLowerCase) params.Style |= ES_LOWERCASE;
  if (!hideSelection_) params.Style |= ES_NOHIDESEL;
  if (oemConvert_) params.Style |= ES_OEMCONVERT;
  if (numbersOnly_) params.Style |= ES_NUMBER;
  switch (alignment_) {
    case taRightJustify: params.Style |= ES_RIGHT; break;
    case taCenter: params.Style |= ES_CENTER; break;
    default: break;
  }
}

void TCustomEdit::CreateWnd() {
  creating_ = true;
  {
    ScopeGuard doneCreating([this] { creating_ = false; });
    TWinControl::CreateWnd();
  }
  HWND h = WindowHandle();
  SendMessageW(h, EM_LIMITTEXT, WPARAM(maxLength_), 0);
  if (passwordChar_) SendMessageW(h, EM_SETPASSWORDCHAR, WPARAM(passwordChar_), 0);
  SendMessageW(h, EM_SETSEL, WPARAM(selStart_), LPARAM(selStart_ + selLength_));
  SendMessageW(h, EM_SETMODIFY, modified_ ? 1 : 0, 0);
  DoSetTextHint(textHint_);
  AdjustHeight();
}

void TCustomEdit::DestroyWnd() {
  if (HandleAllocated()) {
    HWND h = WindowHandle();
    modified_ = SendMessageW(h, EM_GETMODIFY, 0, 0) != 0;
    DWORD start = 0, end = 0;
    SendMessageW(h, EM_GETSEL, WPARAM(&start), LPARAM(&end));
    selStart_ = int(start);
    selLength_ = int(end) - int(start);
  }
  TWinControl::DestroyWnd();
}

void TCustomEdit::Loaded() {
  TWinControl::Loaded();
  AdjustHeight();
}

void TCustomEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND: CNCommand(message); return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC: CNCtlColor(message); return;
    case CM_ENTER: CMEnter(message); return;
    case CM_TEXTCHANGED: CMTextChanged(message); return;
    case CM_FONTCHANGED: CMFontChanged(message); return;
    case CM_CTL3DCHANGED:
      TWinControl::Dispatch(message);
      if (borderStyle_ == bsSingle && HandleAllocated()) RecreateWnd();
      AdjustHeight();
      return;
    default: TWinControl::Dispatch(message);
  }
}

void TCustomEdit::CNCommand(TMessage& message) {
  if (HIWORD(message.WParam) == EN_CHANGE && !creating_) Change();
}

// A read-only edit asks with WM_CTLCOLORSTATIC; it is painted in the control's Color too. A
// disabled one left in the window colour looks as a disabled box of the platform's dialogs, grey
// on the button face, so that it does not look as if it took input.
void TCustomEdit::CNCtlColor(TMessage& message) {
  HDC dc = HDC(message.WParam);
  if (Color() == clWindow && !IsWindowEnabled(WindowHandle())) {
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    message.Result = LRESULT(GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  message.Result = ControlColors(this, dc);
}

void TCustomEdit::CMEnter(TMessage& message) {
  bool byMouse = ControlState().Contains(csLButtonDown) || GetKeyState(VK_LBUTTON) < 0;
  if (autoSelect_ && !byMouse) SelectAll();
  TWinControl::Dispatch(message);
}

void TCustomEdit::CMTextChanged(TMessage& message) {
  TWinControl::Dispatch(message);
  if (HandleAllocated()) return;  // the window reports its change itself
  modified_ = false;
  selStart_ = selLength_ = 0;
  if (!Loading(this)) Change();
}

void TCustomEdit::CMFontChanged(TMessage& message) {
  TWinControl::Dispatch(message);
  if (ControlStyle().Contains(csFixedHeight) &&
      !(ComponentState().Contains(csDesigning) && Loading(this)))
    AdjustHeight();
}

void TCustomEdit::Change() {
  if (Loading(this)) return;
  if (OnChange) OnChange(this);
}

void TCustomEdit::AdjustHeight() {
  if (!AutoSize() || borderStyle_ != bsSingle || Loading(this)) return;
  HDC dc = GetDC(0);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(0, dc);
  int border = GetSystemMetrics(SM_CYBORDER) * (Ctl3D() ? 8 : 6);
  SetHeight(int(metrics.tmHeight) + border);
}

void TCustomEdit::SetAutoSize(bool value) {
  if (value == AutoSize()) return;
  TWinControl::SetAutoSize(value);
  TControlStyle style = ControlStyle();
  if (value && borderStyle_ == bsSingle) style.Include(csFixedHeight);
  else style.Exclude(csFixedHeight);
  SetControlStyle(style);
  AdjustHeight();
}

void TCustomEdit::SetMaxLength(int value) {
  if (value < 0) value = 0;
  if (value == maxLength_) return;
  maxLength_ = value;
  if (HandleAllocated()) SendMessageW(WindowHandle(), EM_LIMITTEXT, WPARAM(value), 0);
}

void TCustomEdit::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  if (HandleAllocated()) SendMessageW(WindowHandle(), EM_SETREADONLY, value ? 1 : 0, 0);
}

void TCustomEdit::SetPasswordChar(Char value) {
  if (value == passwordChar_) return;
  bool styleChanges = (value == 0) != (passwordChar_ == 0);
  passwordChar_ = value;
  if (!HandleAllocated()) return;
  if (styleChanges) {
    RecreateWnd();
  } else {
    SendMessageW(WindowHandle(), EM_SETPASSWORDCHAR, WPARAM(value), 0);
    InvalidateRect(WindowHandle(), nullptr, TRUE);
  }
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (value == charCase_) return;
  charCase_ = value;
  // The platform converts what is typed; the text already there follows as well.
  String converted = CaseConverted(GetText(), value);
  if (converted != GetText()) SetText(converted);
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  TControlStyle style = ControlStyle();
  if (AutoSize() && value == bsSingle) style.Include(csFixedHeight);
  else style.Exclude(csFixedHeight);
  SetControlStyle(style);
  if (HandleAllocated()) RecreateWnd();
  AdjustHeight();
}

void TCustomEdit::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetOEMConvert(bool value) {
  if (value == oemConvert_) return;
  oemConvert_ = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetNumbersOnly(bool value) {
  if (value == numbersOnly_) return;
  numbersOnly_ = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetTextHint(const String& value) {
  if (value == textHint_) return;
  textHint_ = value;
  if (!Loading(this)) DoSetTextHint(textHint_);
}

void TCustomEdit::DoSetTextHint(const String& value) {
  bool xpOrLater = Win32MajorVersion > 5 || (Win32MajorVersion == 5 && Win32MinorVersion >= 1);
  if (xpOrLater && ThemeServices()->ThemesEnabled() && HandleAllocated())
    SendMessageW(WindowHandle(), EM_SETCUEBANNER, 0, LPARAM(value.c_str()));
}

// ---- Selection ----

void TCustomEdit::ClampSelection() {
  int n = int(StoredText().size());
  selStart_ = std::clamp(selStart_, 0, n);
  selLength_ = std::clamp(selLength_, -selStart_, n - selStart_);
}

int TCustomEdit::SelStart() {
  if (!HandleAllocated()) {
    ClampSelection();
    return selLength_ < 0 ? selStart_ + selLength_ : selStart_;
  }
  DWORD start = 0, end = 0;
  SendMessageW(WindowHandle(), EM_GETSEL, WPARAM(&start), LPARAM(&end));
  return int(start);
}

void TCustomEdit::SetSelStart(int value) {
  if (!HandleAllocated()) {
    selStart_ = value;
    selLength_ = 0;
    ClampSelection();
    return;
  }
  SendMessageW(WindowHandle(), EM_SETSEL, WPARAM(value), LPARAM(value));
}

int TCustomEdit::SelLength() {
  if (!HandleAllocated()) {
    ClampSelection();
    return std::abs(selLength_);
  }
  DWORD start = 0, end = 0;
  SendMessageW(WindowHandle(), EM_GETSEL, WPARAM(&start), LPARAM(&end));
  return int(end) - int(start);
}

void TCustomEdit::SetSelLength(int value) {
  int start = SelStart();
  if (!HandleAllocated()) {
    selStart_ = start;
    selLength_ = value;
    ClampSelection();
    return;
  }
  SendMessageW(WindowHandle(), EM_SETSEL, WPARAM(start), LPARAM(start + value));
}

String TCustomEdit::SelText() {
  String text = GetText();
  int start = std::clamp(SelStart(), 0, int(text.size()));
  int length = std::clamp(SelLength(), 0, int(text.size()) - start);
  return text.substr(size_t(start), size_t(length));
}

void TCustomEdit::ReplaceStoredSelection(const String& value) {
  String text = StoredText();
  int start = SelStart();
  int length = SelLength();
  String next = text.substr(0, size_t(start)) + value + text.substr(size_t(start + length));
  if (maxLength_ > 0 && int(next.size()) > maxLength_) return;
  SetText(next);  // resets the stored selection and reports the change
  selStart_ = start + int(value.size());
  selLength_ = 0;
  modified_ = true;
}

void TCustomEdit::SetSelText(const String& value) {
  if (!HandleAllocated()) {
    ReplaceStoredSelection(value);
    return;
  }
  SendMessageW(WindowHandle(), EM_REPLACESEL, 0, LPARAM(value.c_str()));
}

void TCustomEdit::SelectAll() {
  if (!HandleAllocated()) {
    selStart_ = 0;
    selLength_ = int(StoredText().size());
    return;
  }
  SendMessageW(WindowHandle(), EM_SETSEL, 0, -1);
}

void TCustomEdit::ClearSelection() {
  if (readOnly_) return;
  if (!HandleAllocated()) {
    ReplaceStoredSelection(String());
    return;
  }
  SendMessageW(WindowHandle(), WM_CLEAR, 0, 0);
}

void TCustomEdit::Clear() { SetText(String()); }

void TCustomEdit::CopyToClipboard() {
  if (passwordChar_) return;  // the platform never copies a hidden text
  if (!HandleAllocated()) {
    String s = SelText();
    if (!s.empty()) SetClipboardTextW(s);
    return;
  }
  SendMessageW(WindowHandle(), WM_COPY, 0, 0);
}

void TCustomEdit::CutToClipboard() {
  if (readOnly_ || passwordChar_) return;
  if (!HandleAllocated()) {
    CopyToClipboard();
    ReplaceStoredSelection(String());
    return;
  }
  SendMessageW(WindowHandle(), WM_CUT, 0, 0);
}

void TCustomEdit::PasteFromClipboard() {
  if (readOnly_) return;
  if (!HandleAllocated()) {
    String s;
    if (GetClipboardTextW(&s)) ReplaceStoredSelection(s.substr(0, s.find_first_of(u"\r\n")));
    return;
  }
  SendMessageW(WindowHandle(), WM_PASTE, 0, 0);
}

void TCustomEdit::Undo() {
  if (HandleAllocated()) SendMessageW(WindowHandle(), EM_UNDO, 0, 0);
}

bool TCustomEdit::CanUndo() {
  return HandleAllocated() && SendMessageW(WindowHandle(), EM_CANUNDO, 0, 0) != 0;
}

void TCustomEdit::ClearUndo() {
  if (HandleAllocated()) SendMessageW(WindowHandle(), EM_EMPTYUNDOBUFFER, 0, 0);
}

bool TCustomEdit::Modified() {
  if (HandleAllocated()) return SendMessageW(WindowHandle(), EM_GETMODIFY, 0, 0) != 0;
  return modified_;
}

void TCustomEdit::SetModified(bool value) {
  modified_ = value;
  if (HandleAllocated()) SendMessageW(WindowHandle(), EM_SETMODIFY, value ? 1 : 0, 0);
}

TEdit::TEdit(TComponent* owner) : TCustomEdit(owner) {}
String TEdit::ClassName() const { return u"TEdit"; }

// ======================================================================================
// TComboBoxStrings
// ======================================================================================

String TComboBoxStrings::ClassName() const { return u"TComboBoxStrings"; }

void TComboBoxStrings::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
}

String TComboBoxStrings::Get(int index) const {
  CheckIndex(index);
  return items_[std::size_t(index)].text;
}

TObject* TComboBoxStrings::Objects(int index) const {
  CheckIndex(index);
  return items_[std::size_t(index)].object;
}

void TComboBoxStrings::PutObject(int index, TObject* object) {
  CheckIndex(index);
  items_[std::size_t(index)].object = object;
  if (combo_->HandleAllocated())
    SendMessageW(combo_->WindowHandle(), CB_SETITEMDATA, WPARAM(index), LPARAM(object));
}

int TComboBoxStrings::SortedIndex(const String& s) const {
  int i = 0;
  while (i < Count() && CompareText(items_[std::size_t(i)].text, s) <= 0) ++i;
  return i;
}

int TComboBoxStrings::Add(const String& s) { return AddObject(s, nullptr); }

int TComboBoxStrings::AddObject(const String& s, TObject* object) {
  int index = combo_->Sorted() ? SortedIndex(s) : Count();
  InsertAt(index, s, object);
  return index;
}

void TComboBoxStrings::Insert(int index, const String& s) {
  if (combo_->Sorted()) throw EStringListError(u"Operation not allowed on sorted list");
  InsertAt(index, s, nullptr);
}

void TComboBoxStrings::InsertAt(int index, const String& s, TObject* object) {
  if (index < 0 || index > Count()) IndexError(index);
  items_.insert(items_.begin() + index, Item{s, object});
  if (combo_->HandleAllocated()) {
    HWND h = combo_->WindowHandle();
    SendMessageW(h, CB_INSERTSTRING, WPARAM(index), LPARAM(s.c_str()));
    if (object) SendMessageW(h, CB_SETITEMDATA, WPARAM(index), LPARAM(object));
  }
  combo_->ItemInserted(index);
}

void TComboBoxStrings::Delete(int index) {
  CheckIndex(index);
  items_.erase(items_.begin() + index);
  if (combo_->HandleAllocated())
    SendMessageW(combo_->WindowHandle(), CB_DELETESTRING, WPARAM(index), 0);
  combo_->ItemDeleted(index);
}

void TComboBoxStrings::Clear() {
  items_.clear();
  if (combo_->HandleAllocated()) {
    // Emptying the list empties the field too; the text stays, as the library keeps it.
    String text = combo_->GetText();
    combo_->settingText_ = true;
    SendMessageW(combo_->WindowHandle(), CB_RESETCONTENT, 0, 0);
    SendMessageW(combo_->WindowHandle(), WM_SETTEXT, 0, LPARAM(text.c_str()));
    combo_->settingText_ = false;
  }
  combo_->itemIndex_ = -1;
}

void TComboBoxStrings::Put(int index, const String& s) {
  CheckIndex(index);
  if (combo_->Sorted()) throw EStringListError(u"Operation not allowed on sorted list");
  items_[std::size_t(index)].text = s;
  if (combo_->HandleAllocated()) {
    HWND h = combo_->WindowHandle();
    int selected = int(SendMessageW(h, CB_GETCURSEL, 0, 0));
    SendMessageW(h, CB_DELETESTRING, WPARAM(index), 0);
    SendMessageW(h, CB_INSERTSTRING, WPARAM(index), LPARAM(s.c_str()));
    if (TObject* o = items_[std::size_t(index)].object)
      SendMessageW(h, CB_SETITEMDATA, WPARAM(index), LPARAM(o));
    if (selected == index) SendMessageW(h, CB_SETCURSEL, WPARAM(index), 0);
  }
}

int TComboBoxStrings::IndexOf(const String& s) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[std::size_t(i)].text == s) return i;
  for (int i = 0; i < Count(); ++i)
    if (SameText(items_[std::size_t(i)].text, s)) return i;
  return -1;
}

void TComboBoxStrings::Sort() {
  std::stable_sort(items_.begin(), items_.end(),
                   [](const Item& a, const Item& b) { return CompareText(a.text, b.text) < 0; });
}

void TComboBoxStrings::SetUpdateState(bool updating) {
  if (combo_->HandleAllocated()) {
    SendMessageW(combo_->WindowHandle(), WM_SETREDRAW, updating ? 0 : 1, 0);
    if (!updating) combo_->Invalidate();
  }
}

// ======================================================================================
// TCustomComboBox
// ======================================================================================

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TComboBoxStrings>(this)) {
  // No csCaptureMouse: the window captures the pointer itself while its list is open.
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks, csFixedHeight, csReflector});
  SetBounds(Left(), Top(), 145, 21);
  SetTabStop(true);
  SetParentColor(false);
  TControl::SetColor(clWindow);
}

TCustomComboBox::~TCustomComboBox() = default;

String TCustomComboBox::ClassName() const { return u"TCustomComboBox"; }

void TCustomComboBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, u"COMBOBOX");
  // The list keeps its order here, so the window is never asked to sort.
  params.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL;
  params.Style |= style_ == csDropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN;
  if (charCase_ == ecUpperCase) params.Style |= CBS_UPPERCASE;
  if (charCase_ == ecLowerCase) params.Style |= CBS_LOWERCASE;
}

void TCustomComboBox::CreateWnd() {
  String text = StoredText();
  creating_ = true;
  settingText_ = true;
  ScopeGuard doneCreating([this] {
    creating_ = false;
    settingText_ = false;
  });
  TWinControl::CreateWnd();
  HWND h = WindowHandle();
  for (int i = 0; i < items_->Count(); ++i) {
    const auto& item = items_->items_[std::size_t(i)];
    SendMessageW(h, CB_INSERTSTRING, WPARAM(i), LPARAM(item.text.c_str()));
    if (item.object) SendMessageW(h, CB_SETITEMDATA, WPARAM(i), LPARAM(item.object));
  }
  SendMessageW(h, CB_SETMINVISIBLE, WPARAM(dropDownCount_), 0);
  if (maxLength_ > 0) SendMessageW(h, CB_LIMITTEXT, WPARAM(maxLength_), 0);
  if (itemIndex_ >= 0 && itemIndex_ < items_->Count())
    SendMessageW(h, CB_SETCURSEL, WPARAM(itemIndex_), 0);
  if (style_ != csDropDownList && GetText() != text)
    SendMessageW(h, WM_SETTEXT, 0, LPARAM(text.c_str()));
}

void TCustomComboBox::DestroyWnd() {
  if (HandleAllocated()) itemIndex_ = int(SendMessageW(WindowHandle(), CB_GETCURSEL, 0, 0));
  TWinControl::DestroyWnd();
}

void TCustomComboBox::Loaded() {
  TWinControl::Loaded();
  // The stored item index wins over the stored text, whatever their order in the description.
  if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
  if (itemIndex_ >= 0) {
    int index = itemIndex_;
    itemIndex_ = -2;  // forces the write
    SetItemIndex(index);
  } else {
    SelectItemOfText();
  }
}

void TCustomComboBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND: CNCommand(message); return;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORSTATIC: CtlColor(message); return;
    case CM_TEXTCHANGED: CMTextChanged(message); return;
    default: TWinControl::Dispatch(message);
  }
}

void TCustomComboBox::CNCommand(TMessage& message) {
  if (creating_) return;
  switch (HIWORD(message.WParam)) {
    case CBN_EDITCHANGE: Change(); break;
    case CBN_SELCHANGE: {
      int index = ItemIndex();
      if (index >= 0 && style_ != csDropDownList && GetText() != items_->Strings(index)) {
        settingText_ = true;
        SendMessageW(WindowHandle(), WM_SETTEXT, 0, LPARAM(items_->Strings(index).c_str()));
        settingText_ = false;
      }
      Click();
      Select();
      Change();
      break;
    }
    case CBN_DROPDOWN: DropDown(); break;
    case CBN_CLOSEUP: CloseUp(); break;
    case CBN_SETFOCUS: {
      // The focus lands in the inner edit, which is no control of the library.
      if (TCustomForm* form = GetParentForm(this)) form->SetFocusedControl(this);
      break;
    }
    default: break;
  }
}

void TCustomComboBox::CtlColor(TMessage& message) {
  message.Result = ControlColors(this, HDC(message.WParam));
}

void TCustomComboBox::CMTextChanged(TMessage& message) {
  TWinControl::Dispatch(message);
  if (settingText_ || Loading(this)) return;
  SelectItemOfText();
}

// The item of the current text becomes the selected one (the exact spelling first, then any
// case); the text itself stays as written.
void TCustomComboBox::SelectItemOfText() {
  String text = GetText();
  int index = text.empty() ? -1 : items_->IndexOf(text);
  if (!HandleAllocated()) {
    itemIndex_ = index;
    if (style_ == csDropDownList) SetStoredText(index >= 0 ? items_->Strings(index) : String());
    return;
  }
  HWND h = WindowHandle();
  if (int(SendMessageW(h, CB_GETCURSEL, 0, 0)) == index) return;
  settingText_ = true;
  SendMessageW(h, CB_SETCURSEL, WPARAM(index), 0);
  if (style_ != csDropDownList && GetText() != text)
    SendMessageW(h, WM_SETTEXT, 0, LPARAM(text.c_str()));
  settingText_ = false;
}

void TCustomComboBox::ItemInserted(int index) {
  if (!HandleAllocated() && itemIndex_ >= index) ++itemIndex_;
}

void TCustomComboBox::ItemDeleted(int index) {
  if (HandleAllocated()) return;
  if (itemIndex_ == index) itemIndex_ = -1;
  else if (itemIndex_ > index) --itemIndex_;
}

void TCustomComboBox::SetItems(const TStrings* items) { items_->Assign(items); }

int TCustomComboBox::ItemIndex() {
  if (HandleAllocated()) return int(SendMessageW(WindowHandle(), CB_GETCURSEL, 0, 0));
  return itemIndex_ < 0 ? -1 : itemIndex_;
}

void TCustomComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= items_->Count()) index = -1;
  if (Loading(this)) {
    itemIndex_ = index;  // applied in Loaded, once the items are all there
    return;
  }
  if (!HandleAllocated()) {
    if (itemIndex_ == index) return;
    itemIndex_ = index;
    settingText_ = true;
    SetText(index >= 0 ? items_->Strings(index) : String());
    settingText_ = false;
    return;
  }
  if (ItemIndex() == index) return;
  settingText_ = true;
  SendMessageW(WindowHandle(), CB_SETCURSEL, WPARAM(index), 0);
  settingText_ = false;
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
  if (value == csSimple) value = csDropDown;  // no always-open list on this platform
  if (value == csOwnerDrawFixed || value == csOwnerDrawVariable) value = csDropDownList;
  if (value == style_) return;
  style_ = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomComboBox::SetDropDownCount(int value) {
  if (value < 1) value = 1;
  dropDownCount_ = value;
  if (HandleAllocated()) SendMessageW(WindowHandle(), CB_SETMINVISIBLE, WPARAM(value), 0);
}

bool TCustomComboBox::DroppedDown() {
  return HandleAllocated() && SendMessageW(WindowHandle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool value) {
  if (HandleAllocated() || value) SendMessageW(Handle(), CB_SHOWDROPDOWN, value ? 1 : 0, 0);
}

void TCustomComboBox::SetSorted(bool value) {
  if (value == sorted_) return;
  sorted_ = value;
  if (!value) return;
  String text = GetText();
  items_->Sort();
  if (HandleAllocated()) {
    RecreateWnd();
  } else {
    itemIndex_ = items_->IndexOf(text);
    if (text.empty()) itemIndex_ = -1;
  }
}

void TCustomComboBox::SetMaxLength(int value) {
  if (value < 0) value = 0;
  maxLength_ = value;
  if (HandleAllocated()) SendMessageW(WindowHandle(), CB_LIMITTEXT, WPARAM(value), 0);
}

void TCustomComboBox::SetCharCase(TEditCharCase value) {
  if (value == charCase_) return;
  charCase_ = value;
  String converted = CaseConverted(GetText(), value);
  if (converted != GetText()) SetText(converted);
  if (HandleAllocated()) RecreateWnd();
}

int TCustomComboBox::SelStart() {
  if (!HandleAllocated() || style_ == csDropDownList) return std::min(selStart_, GetTextLen());
  DWORD start = 0, end = 0;
  SendMessageW(WindowHandle(), CB_GETEDITSEL, WPARAM(&start), LPARAM(&end));
  return int(start);
}

void TCustomComboBox::SetSelStart(int value) {
  selStart_ = std::max(0, value);
  selLength_ = 0;
  if (HandleAllocated() && style_ != csDropDownList)
    SendMessageW(WindowHandle(), CB_SETEDITSEL, 0, MAKELPARAM(value, value));
}

int TCustomComboBox::SelLength() {
  if (!HandleAllocated() || style_ == csDropDownList)
    return std::max(0, std::min(selLength_, GetTextLen() - SelStart()));
  DWORD start = 0, end = 0;
  SendMessageW(WindowHandle(), CB_GETEDITSEL, WPARAM(&start), LPARAM(&end));
  return int(end) - int(start);
}

void TCustomComboBox::SetSelLength(int value) {
  int start = SelStart();
  selStart_ = start;
  selLength_ = std::max(0, value);
  if (HandleAllocated() && style_ != csDropDownList)
    SendMessageW(WindowHandle(), CB_SETEDITSEL, 0, MAKELPARAM(start, start + value));
}

String TCustomComboBox::SelText() {
  String text = GetText();
  int start = std::clamp(SelStart(), 0, int(text.size()));
  return text.substr(std::size_t(start), std::size_t(std::max(0, SelLength())));
}

void TCustomComboBox::SelectAll() {
  selStart_ = 0;
  selLength_ = GetTextLen();
  if (HandleAllocated() && style_ != csDropDownList)
    SendMessageW(WindowHandle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

void TCustomComboBox::Clear() {
  SetText(String());
  items_->Clear();
}

bool TCustomComboBox::Focused() {
  if (!HandleAllocated()) return false;
  HWND focus = GetFocus();
  return focus && (focus == WindowHandle() || IsChild(WindowHandle(), focus));
}

HWND TCustomComboBox::EditHandle() {
  if (!HandleAllocated() || style_ == csDropDownList) return 0;
  COMBOBOXINFO info;
  if (!GetComboBoxInfo(WindowHandle(), &info)) return 0;
  return info.hwndItem;
}

void TCustomComboBox::Change() {
  if (Loading(this)) return;
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect) OnSelect(this);
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

TComboBox::TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
String TComboBox::ClassName() const { return u"TComboBox"; }

// ======================================================================================
// Buttons
// ======================================================================================

namespace {

constexpr DWORD kBsMultiLine = 0x2000;

// Whether key is the accelerator of text: the character after a single "&".
bool IsAccel(WPARAM key, const String& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'&') continue;
    if (text[i + 1] == u'&') {
      ++i;
      continue;
    }
    return AnsiUpperCase(String(1, text[i + 1])) == AnsiUpperCase(String(1, Char(key)));
  }
  return false;
}

}  // namespace

// Every push button of the form learns which control has the focus: the focused button is the
// one Enter clicks; with no button focused, the default one.
static void UpdateButtons(TWinControl* parent, TControl* focused) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (auto* b = dynamic_cast<TButton*>(c)) b->FocusChanged(focused);
    if (auto* w = dynamic_cast<TWinControl*>(c)) UpdateButtons(w, focused);
  }
}

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {}
String TButtonControl::ClassName() const { return u"TButtonControl"; }

void TButtonControl::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  if (HandleAllocated()) RecreateWnd();
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
  SetBounds(Left(), Top(), 75, 25);
  SetTabStop(true);
}

String TButton::ClassName() const { return u"TButton"; }

void TButton::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  CreateSubClass(params, u"BUTTON");
  params.Style &= ~BS_TYPEMASK;
  params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  if (WordWrap()) params.Style |= kBsMultiLine;
}

void TButton::CreateWnd() {
  TButtonControl::CreateWnd();
  active_ = default_;
}

void TButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      if (HIWORD(message.WParam) == BN_CLICKED) Click();
      return;
    case CM_DIALOGKEY: {
      WPARAM key = message.WParam;
      bool mine = (key == WPARAM(VK_RETURN) && active_) || (key == WPARAM(VK_ESCAPE) && cancel_);
      if (mine && KeyDataToShiftState(message.LParam).Bits() == 0 && CanFocus()) {
        Click();
        message.Result = 1;
        return;
      }
      break;
    }
    case CM_DIALOGCHAR:
      if (IsAccel(message.WParam, GetText()) && CanFocus()) {
        Click();
        message.Result = 1;
        return;
      }
      break;
    case CM_FOCUSCHANGED: FocusChanged(reinterpret_cast<TControl*>(message.LParam)); break;
    case CM_ENTER:
    case CM_EXIT:
      // Leaving a button gives the default back its role; entering one takes it.
      if (TCustomForm* form = GetParentForm(this))
        UpdateButtons(form, message.Msg == CM_ENTER ? this : nullptr);
      break;
    default: break;
  }
  TButtonControl::Dispatch(message);
}

void TButton::FocusChanged(TControl* focused) {
  if (focused && dynamic_cast<TButton*>(focused)) active_ = focused == this;
  else active_ = default_;
  SetButtonStyle(active_);
}

void TButton::Click() {
  if (ClicksDisabled()) return;
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  TButtonControl::Click();
}

void TButton::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  if (!HandleAllocated()) {
    active_ = value;
    return;
  }
  if (TCustomForm* form = GetParentForm(this)) UpdateButtons(form, form->ActiveControl());
  else FocusChanged(nullptr);
}

void TButton::SetButtonStyle(bool isDefault) {
  if (!HandleAllocated()) return;
  DWORD style = isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  if ((DWORD(GetWindowLongW(WindowHandle(), GWL_STYLE)) & BS_TYPEMASK) != style)
    SendMessageW(WindowHandle(), BM_SETSTYLE, style, 1);
}

// ======================================================================================
// TCustomLabel
// ======================================================================================

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  TControlStyle style = ControlStyle();
  style.Include(csOpaque);
  style.Include(csReplicatable);
  SetControlStyle(style);
  SetBounds(Left(), Top(), 65, 17);
  TGraphicControl::SetAutoSize(true);
  constructed_ = true;
}

TCustomLabel::~TCustomLabel() {
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
}

String TCustomLabel::ClassName() const { return u"TCustomLabel"; }

void TCustomLabel::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_TEXTCHANGED:
      TGraphicControl::Dispatch(message);
      Invalidate();
      AdjustBounds();
      return;
    case CM_FONTCHANGED:
      TGraphicControl::Dispatch(message);
      AdjustBounds();
      return;
    case CM_DIALOGCHAR:
      if (focusControl_ && Enabled() && showAccelChar_ && IsAccel(message.WParam, GetText()) &&
          focusControl_->CanFocus()) {
        focusControl_->SetFocus();
        message.Result = 1;
        return;
      }
      break;
    default: break;
  }
  TGraphicControl::Dispatch(message);
}

UINT TCustomLabel::DrawTextFlags() const {
  UINT flags = DT_EXPANDTABS;
  if (wordWrap_) flags |= DT_WORDBREAK;
  if (alignment_ == taRightJustify) flags |= DT_RIGHT;
  if (alignment_ == taCenter) flags |= DT_CENTER;
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  return flags;
}

String TCustomLabel::GetLabelText() { return GetText(); }

void TCustomLabel::DoDrawText(TCanvas* canvas, TRect& rect, UINT flags) {
  String text = GetLabelText();
  bool calc = (flags & DT_CALCRECT) != 0;
  if (calc && (text.empty() || (showAccelChar_ && text == u"&"))) text += u" ";
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  HDC dc = canvas->Handle();
  HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
  int oldMode = SetBkMode(dc, TRANSPARENT);
  COLORREF oldColor = GetTextColor(dc);
  RECT r = rect;
  if (calc) {
    DrawTextW(dc, text.c_str(), int(text.size()), &r, flags);
  } else if (Enabled()) {
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    DrawTextW(dc, text.c_str(), int(text.size()), &r, flags);
  } else if (ThemeServices()->ThemesEnabled()) {
    SetTextColor(dc, ColorToRGB(clGrayText));
    DrawTextW(dc, text.c_str(), int(text.size()), &r, flags);
  } else {
    // The classic engraved look: a highlight copy one pixel down and right, the shadow on top.
    OffsetRect(&r, 1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    DrawTextW(dc, text.c_str(), int(text.size()), &r, flags);
    OffsetRect(&r, -1, -1);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
    DrawTextW(dc, text.c_str(), int(text.size()), &r, flags);
  }
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldFont);
  rect = r;
}

void TCustomLabel::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  if (!Transparent()) {
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(r);
  }
  canvas->Brush()->SetStyle(bsClear);
  UINT flags = DrawTextFlags();
  if (layout_ != tlTop) {
    TRect calc = r;
    DoDrawText(canvas, calc, flags | DT_CALCRECT);
    int dy = layout_ == tlBottom ? RectHeight(r) - calc.bottom : (RectHeight(r) - calc.bottom) / 2;
    r.top += dy;
    r.bottom += dy;
  }
  DoDrawText(canvas, r, flags);
}

void TCustomLabel::AdjustBounds() {
  if (!constructed_ || Loading(this) || !AutoSize()) return;
  TRect r = ClientRect();
  HDC dc = GetDC(0);
  {
    TCanvas measure;
    measure.SetHandle(dc);
    DoDrawText(&measure, r, DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0));
    measure.SetHandle(0);
  }
  ReleaseDC(0, dc);
  int x = Left();
  if (alignment_ == taRightJustify) x += Width() - r.right;
  else if (alignment_ == taCenter) x += (Width() - r.right) / 2;
  SetBounds(x, Top(), r.right, r.bottom);
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == AutoSize()) return;
  TGraphicControl::SetAutoSize(value);
  AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

bool TCustomLabel::Transparent() const { return !ControlStyle().Contains(csOpaque); }

void TCustomLabel::SetTransparent(bool value) {
  if (value == Transparent()) return;
  TControlStyle style = ControlStyle();
  if (value) style.Exclude(csOpaque);
  else style.Include(csOpaque);
  SetControlStyle(style);
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (value == showAccelChar_) return;
  showAccelChar_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* control) {
  if (control == focusControl_) return;
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = control;
  if (control) control->FreeNotification(this);
}

TLabel::TLabel(TComponent* owner) : TCustomLabel(owner) {}
String TLabel::ClassName() const { return u"TLabel"; }

// ======================================================================================
// Property types and tables
// ======================================================================================

const TTypeInfo* TypeInfoTEditCharCase() {
  static const TTypeInfo t =
      TTypeInfo::Enumeration(u"TEditCharCase", {u"ecNormal", u"ecUpperCase", u"ecLowerCase"});
  return &t;
}

const TTypeInfo* TypeInfoTComboBoxStyle() {
  static const TTypeInfo t = TTypeInfo::Enumeration(
      u"TComboBoxStyle",
      {u"csDropDown", u"csSimple", u"csDropDownList", u"csOwnerDrawFixed", u"csOwnerDrawVariable"});
  return &t;
}

const TTypeInfo* TypeInfoTTextLayout() {
  static const TTypeInfo t =
      TTypeInfo::Enumeration(u"TTextLayout", {u"tlTop", u"tlCenter", u"tlBottom"});
  return &t;
}

void RegisterStdCtrlsClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterControlClasses();

  Published<TCustomEdit>(u"TCustomEdit", u"TWinControl")
      .Ord(u"Alignment", TypeInfoTAlignment(), &TCustomEdit::Alignment, &TCustomEdit::SetAlignment,
           taLeftJustify)
      .Bool(u"AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect, true)
      .Bool(u"AutoSize", &TControl::AutoSize, &TCustomEdit::SetAutoSize, true)
      .Ord(u"BorderStyle", TypeInfoTBorderStyle(), &TCustomEdit::BorderStyle,
           &TCustomEdit::SetBorderStyle, bsSingle)
      .Ord(u"CharCase", TypeInfoTEditCharCase(), &TCustomEdit::CharCase, &TCustomEdit::SetCharCase,
           ecNormal)
      .Ord(u"Color", TypeInfoTColor(), &TControl::Color, &TControl::SetColor, clWindow)
      .StoredIf(&TControl::IsColorStored)
      .Bool(u"HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection, true)
      .Int(u"MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength, 0)
      .Bool(u"NumbersOnly", &TCustomEdit::NumbersOnly, &TCustomEdit::SetNumbersOnly, false)
      .Bool(u"OEMConvert", &TCustomEdit::OEMConvert, &TCustomEdit::SetOEMConvert, false)
      .Bool(u"ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false)
      .Ord(u"PasswordChar", TypeInfoChar(), &TCustomEdit::PasswordChar,
           &TCustomEdit::SetPasswordChar, Char(0))
      .Bool(u"ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly, false)
      .Bool(u"TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, true)
      .Str(u"Text", &TControl::Text, &TControl::SetText)
      .Str(u"TextHint", &TCustomEdit::TextHint, &TCustomEdit::SetTextHint)
      .Event(u"OnChange", &TCustomEdit::OnChange);
  Published<TEdit>(u"TEdit", u"TCustomEdit").Creatable();

  Published<TCustomComboBox>(u"TCustomComboBox", u"TWinControl")
      .Ord(u"Style", TypeInfoTComboBoxStyle(), &TCustomComboBox::Style, &TCustomComboBox::SetStyle,
           csDropDown)
      .Bool(u"AutoSelect", &TCustomComboBox::AutoSelect, &TCustomComboBox::SetAutoSelect, true)
      .Ord(u"CharCase", TypeInfoTEditCharCase(), &TCustomComboBox::CharCase,
           &TCustomComboBox::SetCharCase, ecNormal)
      .Ord(u"Color", TypeInfoTColor(), &TControl::Color, &TControl::SetColor, clWindow)
      .StoredIf(&TControl::IsColorStored)
      .Int(u"DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount, 8)
      .Int(u"MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength, 0)
      .Bool(u"ParentColor", &TControl::ParentColor, &TControl::SetParentColor, false)
      .Bool(u"Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted, false)
      .Bool(u"TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, true)
      .Str(u"Text", &TControl::Text, &TControl::SetText)
      .Object(u"Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems)
      .Int(u"ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex, -1)
      .Event(u"OnChange", &TCustomComboBox::OnChange)
      .Event(u"OnSelect", &TCustomComboBox::OnSelect)
      .Event(u"OnDropDown", &TCustomComboBox::OnDropDown)
      .Event(u"OnCloseUp", &TCustomComboBox::OnCloseUp);
  Published<TComboBox>(u"TComboBox", u"TCustomComboBox").Creatable();
  Published<TComboBoxStrings>(u"TComboBoxStrings", u"TStrings");

  Published<TButtonControl>(u"TButtonControl", u"TWinControl")
      .Bool(u"WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap, false);
  Published<TButton>(u"TButton", u"TButtonControl")
      .Creatable()
      .Str(u"Caption", &TControl::Caption, &TControl::SetCaption)
      .Bool(u"Cancel", &TButton::Cancel, &TButton::SetCancel, false)
      .Bool(u"Default", &TButton::Default, &TButton::SetDefault, false)
      .Int(u"ModalResult", &TButton::ModalResult, &TButton::SetModalResult, mrNone)
      .Bool(u"TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, true);

  Published<TCustomLabel>(u"TCustomLabel", u"TGraphicControl")
      .Ord(u"Alignment", TypeInfoTAlignment(), &TCustomLabel::Alignment,
           &TCustomLabel::SetAlignment, taLeftJustify)
      .Bool(u"AutoSize", &TControl::AutoSize, &TCustomLabel::SetAutoSize, true)
      .Str(u"Caption", &TControl::Caption, &TControl::SetCaption)
      .Object(u"FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl)
      .Ord(u"Layout", TypeInfoTTextLayout(), &TCustomLabel::Layout, &TCustomLabel::SetLayout, tlTop)
      .Bool(u"ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar, true)
      .Bool(u"Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent, false)
      .Bool(u"WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap, false);
  Published<TLabel>(u"TLabel", u"TCustomLabel").Creatable();
}
