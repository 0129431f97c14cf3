#pragma once
// The masked edit: an edit whose text follows an input mask. With an empty mask it is a plain
// edit.
#include "StdCtrls.h"

// ---- Masked edit ----
// A mask is "<mask>[;<save literals 0|1>[;<blank character>]]". Mask characters: 0 a digit, 9
// an optional digit, # an optional digit or sign, L a letter, l an optional letter, A a letter
// or digit, a an optional one, C any character, c an optional one; \ makes the next character
// a literal; > upper case, < lower case, <> neither, for what follows; everything else is a
// literal. With an empty mask the control is a plain edit.
class TCustomMaskEdit : public TCustomEdit {
 public:
  explicit TCustomMaskEdit(TComponent* owner);
  ~TCustomMaskEdit() override;
  String ClassName() const override;
  void Dispatch(TMessage& message) override;

  const String& EditMask() const { return editMask_; }
  // Keeps the text, laid over the new mask.
  void SetEditMask(const String& value);
  bool IsMasked() const { return !mask_.empty(); }
  // The text as shown: literals and blank characters included.
  String EditText();
  void SetEditText(const String& value);
  // Text as stored: without literals unless the mask saves them, blanks trimmed.
  String Text();
  void SetText(const String& value);
  // Checks every required position; ValidateError when one is empty.
  virtual void ValidateEdit();
  void Reset();

 protected:
  // A beep, then EDBEditError("Invalid input value.  Use escape key to abandon changes").
  virtual void ValidateError();
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(Char& key) override;
  void CreateWnd() override;
  // True when the character fits the mask position (after the case rule).
  bool CharFits(int position, Char& c) const;

 private:
  struct MaskChar {
    Char kind = 0;  // one of 0 9 # L l A a C c, or 0 for a literal
    Char literal = 0;
    int caseRule = 0;  // 0 as typed, 1 upper, -1 lower
  };
  void ParseMask(const String& mask);
  String Template() const;
  int NextEditable(int from, int step) const;
  void TypeChar(Char c);
  void Backspace();
  void DeleteForward();
  String FormatToMask(const String& text) const;
  void SetEditTextRaw(const String& value);
  void CMEnter(TMessage& message);
  void CMExit(TMessage& message);

  String editMask_;
  std::vector<MaskChar> mask_;
  bool saveLiterals_ = true;
  Char blank_ = u'_';
  String oldValue_;
};

class TMaskEdit : public TCustomMaskEdit {
 public:
  explicit TMaskEdit(TComponent* owner);
  String ClassName() const override;
};

// Registers the tables of TCustomMaskEdit and TMaskEdit, after the edit's they derive from.
void RegisterMaskClasses();
