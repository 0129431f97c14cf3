#pragma once
// Speed buttons: windowless buttons showing a glyph and a caption, optionally flat, that can
// stay down alone or as one of a group.
#include <cstdint>
#include <memory>

#include "Controls.h"
#include "Graphics.h"

enum TButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// Also the index of each state's image in a glyph of several.
enum TButtonState : std::uint8_t { bsUp, bsDisabled, bsDown, bsExclusive };
using TNumGlyphs = int;  // 1..4

// Draws the disabled form of sourceRect of glyph at (destX, destY) on dest: every pixel darker
// than a light grey becomes clBtnShadow with a clBtnHighlight copy one pixel down and right
// beneath it (the embossed look); pixels of transparentColor and light ones draw nothing.
void DrawDisabledGlyph(TBitmap* glyph, const TRect& sourceRect, TCanvas* dest, int destX, int destY,
                       TColor transparentColor);

class TSpeedButton : public TGraphicControl {
 public:
  explicit TSpeedButton(TComponent* owner);
  ~TSpeedButton() override;
  String ClassName() const override;
  void Dispatch(TMessage& message) override;

  // NumGlyphs images side by side, in TButtonState order; the colour of the bitmap's
  // bottom-left pixel is transparent. Assigning copies the bitmap.
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(const TBitmap* glyph);
  TNumGlyphs NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(TNumGlyphs value);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  // Pixels from the edge to the glyph; -1 centres glyph and caption together.
  int Margin() const { return margin_; }
  void SetMargin(int value);
  // Pixels between glyph and caption; -1 spreads them evenly.
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);
  // No frame until the pointer is over the button (or it is down).
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  // Only a button of a group (GroupIndex > 0) stays down; setting one down raises the others
  // of its group under the same parent.
  bool Down() const { return down_; }
  void SetDown(bool value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  // A down button of the group may be clicked up again, leaving none down.
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);
  // A flat button in its normal state lets the parent show through.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);

  TButtonState State() const { return state_; }
  // The pointer is over the button (hot).
  bool MouseInControl() const { return mouseInControl_; }
  void Click() override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Loaded() override;

 private:
  void UpdateExclusive();
  void ButtonPressed(TMessage& message);
  void PaintFrame(TCanvas* canvas, TRect& r, bool pressed);
  void PaintContent(TCanvas* canvas, const TRect& client, bool pressed);
  void DrawGlyph(TCanvas* canvas, int x, int y, TButtonState state);
  bool Inside(int x, int y) { return x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight(); }

  std::unique_ptr<TBitmap> glyph_;
  TNumGlyphs numGlyphs_ = 1;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  bool flat_ = false;
  bool down_ = false;
  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  bool transparent_ = true;
  TButtonState state_ = bsUp;
  bool mouseInControl_ = false;
  bool dragging_ = false;
};

const TTypeInfo* TypeInfoTButtonLayout();
const TTypeInfo* TypeInfoTNumGlyphs();

// Registers the table of TSpeedButton.
void RegisterButtonsClasses();
