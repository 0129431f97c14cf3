#include "Mask.h"

#include <algorithm>

#include "ScopeGuard.h"
#include "SystemControls.h"  // the platform window classes
#include "TypInfo.h"

// ======================================================================================
// TCustomMaskEdit
// ======================================================================================

namespace {

bool IsEditableMaskChar(Char c) { return String(u"09#LlAaCc").find(c) != String::npos; }
bool IsRequiredMaskChar(Char c) { return c == u'0' || c == u'L' || c == u'A' || c == u'C'; }
bool IsDigit(Char c) { return c >= u'0' && c <= u'9'; }
bool IsLetter(Char c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
         (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

}  // namespace

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}
TCustomMaskEdit::~TCustomMaskEdit() = default;
String TCustomMaskEdit::ClassName() const { return u"TCustomMaskEdit"; }

void TCustomMaskEdit::ParseMask(const String& mask) {
  mask_.clear();
  saveLiterals_ = true;
  blank_ = u'_';
  // The fields are split at unescaped ";".
  std::vector<String> fields(1);
  for (std::size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] == u'\\' && i + 1 < mask.size() && fields.size() == 1) {
      fields.back() += mask[i];
      fields.back() += mask[++i];
    } else if (mask[i] == u';' && fields.size() < 3) {
      fields.emplace_back();
    } else {
      fields.back() += mask[i];
    }
  }
  if (fields.size() > 1 && !fields[1].empty()) saveLiterals_ = fields[1] != u"0";
  if (fields.size() > 2 && !fields[2].empty()) blank_ = fields[2][0];
  const String& m = fields[0];
  int caseRule = 0;
  for (std::size_t i = 0; i < m.size(); ++i) {
    Char c = m[i];
    MaskChar mc;
    if (c == u'\\' && i + 1 < m.size()) {
      mc.literal = m[++i];
    } else if (c == u'<' && i + 1 < m.size() && m[i + 1] == u'>') {
      caseRule = 0;
      ++i;
      continue;
    } else if (c == u'>') {
      caseRule = 1;
      continue;
    } else if (c == u'<') {
      caseRule = -1;
      continue;
    } else if (c == u'!') {
      continue;  // blanks-first storage: the text is kept as typed here
    } else if (IsEditableMaskChar(c)) {
      mc.kind = c;
    } else {
      mc.literal = c;
    }
    mc.caseRule = caseRule;
    mask_.push_back(mc);
  }
}

void TCustomMaskEdit::SetEditMask(const String& value) {
  if (value == editMask_) return;
  String text = IsMasked() ? Text() : TControl::GetText();
  editMask_ = value;
  ParseMask(value);
  if (IsMasked()) {
    SetEditTextRaw(FormatToMask(text));
  } else {
    SetEditTextRaw(text);
  }
}

String TCustomMaskEdit::Template() const {
  String t;
  for (const MaskChar& m : mask_) t += m.kind ? blank_ : m.literal;
  return t;
}

bool TCustomMaskEdit::CharFits(int position, Char& c) const {
  if (position < 0 || position >= int(mask_.size())) return false;
  const MaskChar& m = mask_[std::size_t(position)];
  if (!m.kind) return false;
  if (m.caseRule > 0) c = AnsiUpperCase(String(1, c))[0];
  if (m.caseRule < 0) c = AnsiLowerCase(String(1, c))[0];
  switch (m.kind) {
    case u'0':
    case u'9': return IsDigit(c);
    case u'#': return IsDigit(c) || c == u'+' || c == u'-';
    case u'L':
    case u'l': return IsLetter(c);
    case u'A':
    case u'a': return IsLetter(c) || IsDigit(c);
    default: return c >= 0x20;
  }
}

int TCustomMaskEdit::NextEditable(int from, int step) const {
  for (int i = from; i >= 0 && i < int(mask_.size()); i += step)
    if (mask_[std::size_t(i)].kind) return i;
  return -1;
}

String TCustomMaskEdit::FormatToMask(const String& text) const {
  String out = Template();
  if (saveLiterals_) {
    for (std::size_t i = 0; i < mask_.size() && i < text.size(); ++i) {
      Char c = text[i];
      if (mask_[i].kind && CharFits(int(i), c)) out[i] = c;
    }
  } else {
    std::size_t next = 0;
    for (std::size_t i = 0; i < mask_.size() && next < text.size(); ++i) {
      if (!mask_[i].kind) continue;
      Char c = text[next++];
      if (CharFits(int(i), c)) out[i] = c;
    }
  }
  return out;
}

String TCustomMaskEdit::EditText() { return TControl::GetText(); }

void TCustomMaskEdit::SetEditTextRaw(const String& value) { TControl::SetText(value); }

void TCustomMaskEdit::SetEditText(const String& value) {
  SetEditTextRaw(IsMasked() ? FormatToMask(value) : value);
}

String TCustomMaskEdit::Text() {
  String shown = TControl::GetText();
  if (!IsMasked()) return shown;
  String out;
  for (std::size_t i = 0; i < mask_.size() && i < shown.size(); ++i) {
    if (!mask_[i].kind && !saveLiterals_) continue;
    out += (mask_[i].kind && shown[i] == blank_) ? u' ' : shown[i];
  }
  while (!out.empty() && out.back() == u' ') out.pop_back();
  return out;
}

void TCustomMaskEdit::SetText(const String& value) {
  if (!IsMasked()) {
    TControl::SetText(value);
    return;
  }
  SetEditTextRaw(FormatToMask(value));
}

void TCustomMaskEdit::ValidateEdit() {
  if (!IsMasked()) return;
  String shown = EditText();
  for (std::size_t i = 0; i < mask_.size(); ++i) {
    if (!IsRequiredMaskChar(mask_[i].kind)) continue;
    if (i >= shown.size() || shown[i] == blank_ || shown[i] == u' ') {
      SetSelStart(int(i));
      ValidateError();
      return;
    }
  }
}

void TCustomMaskEdit::ValidateError() {
  MessageBeep(0);
  throw EDBEditError(u"Invalid input value.  Use escape key to abandon changes");
}

void TCustomMaskEdit::Reset() {
  if (!IsMasked() || !Modified()) return;
  SetEditTextRaw(oldValue_);
  SetModified(false);
}

void TCustomMaskEdit::CreateWnd() {
  TCustomEdit::CreateWnd();
  if (IsMasked() && HandleAllocated()) SendMessageW(WindowHandle(), EM_LIMITTEXT, mask_.size(), 0);
}

// Puts c at the next editable position at or after the caret; the caret then skips literals.
void TCustomMaskEdit::TypeChar(Char c) {
  int start = SelStart();
  int length = SelLength();
  String shown = EditText();
  if (shown.size() != mask_.size()) shown = FormatToMask(shown);
  for (int i = start; i < start + length && i < int(shown.size()); ++i)
    if (mask_[std::size_t(i)].kind) shown[std::size_t(i)] = blank_;
  int p = NextEditable(start, 1);
  if (p < 0 || !CharFits(p, c)) {
    MessageBeep(0);
    return;
  }
  shown[std::size_t(p)] = c;
  SetEditTextRaw(shown);
  SetModified(true);
  int caret = NextEditable(p + 1, 1);
  SetSelStart(caret < 0 ? int(shown.size()) : caret);
}

void TCustomMaskEdit::Backspace() {
  int start = SelStart();
  int length = SelLength();
  String shown = EditText();
  if (shown.size() != mask_.size()) shown = FormatToMask(shown);
  int caret = start;
  if (length > 0) {
    for (int i = start; i < start + length && i < int(shown.size()); ++i)
      if (mask_[std::size_t(i)].kind) shown[std::size_t(i)] = blank_;
  } else {
    int p = NextEditable(start - 1, -1);
    if (p < 0) return;
    shown[std::size_t(p)] = blank_;
    caret = p;
  }
  SetEditTextRaw(shown);
  SetModified(true);
  SetSelStart(caret);
}

void TCustomMaskEdit::DeleteForward() {
  int start = SelStart();
  int length = std::max(SelLength(), 1);
  String shown = EditText();
  if (shown.size() != mask_.size()) shown = FormatToMask(shown);
  for (int i = start; i < start + length && i < int(shown.size()); ++i)
    if (mask_[std::size_t(i)].kind) shown[std::size_t(i)] = blank_;
  SetEditTextRaw(shown);
  SetModified(true);
  SetSelStart(start);
}

void TCustomMaskEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomEdit::KeyDown(key, shift);
  if (!IsMasked() || key == 0 || ReadOnly()) return;
  if (key == VK_DELETE && shift.Bits() == 0) {
    DeleteForward();
    key = 0;
  }
}

void TCustomMaskEdit::KeyPress(Char& key) {
  TCustomEdit::KeyPress(key);
  if (!IsMasked() || key == 0) return;
  if (key == Char(VK_ESCAPE)) {
    if (Modified()) {
      Reset();
      key = 0;
    }
    return;
  }
  if (ReadOnly()) return;
  if (key == 8) {
    Backspace();
    key = 0;
  } else if (key >= 0x20) {
    TypeChar(key);
    key = 0;
  }
}

void TCustomMaskEdit::CMEnter(TMessage& message) {
  if (IsMasked()) oldValue_ = EditText();
  TCustomEdit::Dispatch(message);
}

void TCustomMaskEdit::CMExit(TMessage& message) {
  if (IsMasked() && !ComponentState().Contains(csDesigning)) {
    // Text that does not fit keeps the focus here.
    ScopeGuard refocusOnFailure([this] { SetFocus(); });
    ValidateEdit();
    refocusOnFailure.Dismiss();
  }
  TCustomEdit::Dispatch(message);
}

void TCustomMaskEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_ENTER: CMEnter(message); return;
    case CM_EXIT: CMExit(message); return;
    case WM_PASTE:
      if (IsMasked()) {
        String s;
        if (!ReadOnly() && GetClipboardTextW(&s))
          for (Char c : s) TypeChar(c);
        return;
      }
      break;
    case WM_CUT:
      if (IsMasked()) {
        if (!ReadOnly()) {
          String s = SelText();
          if (!s.empty()) SetClipboardTextW(s);
          if (SelLength() > 0) DeleteForward();
        }
        return;
      }
      break;
    default: break;
  }
  TCustomEdit::Dispatch(message);
}

TMaskEdit::TMaskEdit(TComponent* owner) : TCustomMaskEdit(owner) {}
String TMaskEdit::ClassName() const { return u"TMaskEdit"; }

void RegisterMaskClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterStdCtrlsClasses();
  Published<TCustomMaskEdit>(u"TCustomMaskEdit", u"TCustomEdit")
      .Str(u"EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask)
      .Str(u"Text", &TCustomMaskEdit::Text, &TCustomMaskEdit::SetText);
  Published<TMaskEdit>(u"TMaskEdit", u"TCustomMaskEdit").Creatable();
}
