#pragma once
// Unit RzButton: a small windowless push button that other controls are built from. It shows a
// glyph of up to four cells or a drawn arrow, in the themed, flat or raised look, tracks the hot
// state, and with RepeatClicks keeps clicking while it is held.
#include <cstdint>
#include <memory>

#include "Buttons.h"
#include "Controls.h"
#include "Graphics.h"
#include "RzCommon.h"
#include "Themes.h"
#include "Timer.h"
#include "TypInfo.h"

enum TRzControlButtonStyle : std::uint8_t {
  cbsNone,
  cbsLeft,
  cbsUp,
  cbsRight,
  cbsDown,
  cbsDropDown
};

const TTypeInfo* TypeInfoTRzControlButtonStyle();

class TRzControlButton : public TGraphicControl {
 public:
  explicit TRzControlButton(TComponent* owner);
  ~TRzControlButton() override;
  String ClassName() const override;
  void Dispatch(TMessage& message) override;

  // Runs OnClick; containers call it for keyboard stepping.
  void Click() override;
  HPALETTE GetPalette() const;

  bool Flat() const { return FFlat; }
  virtual void SetFlat(bool value);
  // Cells side by side: normal, disabled, pressed (a fourth is never shown). The bitmap's
  // transparent colour lets the face show through. Assigning copies the bitmap.
  TBitmap* Glyph() const { return FGlyph.get(); }
  virtual void SetGlyph(const TBitmap* value);
  TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  virtual void SetNumGlyphs(TNumGlyphs value);
  WORD Delay() const { return FDelay; }
  void SetDelay(WORD value) { FDelay = value; }
  WORD InitialDelay() const { return FInitialDelay; }
  void SetInitialDelay(WORD value) { FInitialDelay = value; }
  bool RepeatClicks() const { return FRepeatClicks; }
  void SetRepeatClicks(bool value) { FRepeatClicks = value; }
  TRzControlButtonStyle Style() const { return FStyle; }
  virtual void SetStyle(TRzControlButtonStyle value);

  // State, as painted.
  bool Down() const { return FDown; }
  bool MouseOverButton() const { return FMouseOverButton; }
  // Null until the first press with RepeatClicks.
  TTimer* RepeatTimer() const { return FRepeatTimer; }

  // (cell width, cell height); (0, 0) without a glyph.
  virtual TPoint GlyphCellSize() const;
  // The glyph bitmap's change notification: picks NumGlyphs from a strip of square cells.
  void GlyphBitmapChanged(TObject* sender);

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  // Each paints the face of its style group and leaves in r the content inside the frame.
  virtual void PaintFace(TRect& r);
  virtual void PaintArrowButton(TRect& r);
  virtual void PaintDropDownButton(TRect& r);
  virtual void PaintGlyph(const TRect& r);

 private:
  void RepeatTimerExpired(TObject* sender);
  void UpdateHotState();
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  // The classic frame of the flat and raised looks; r becomes its inside.
  void PaintClassicFrame(TRect& r, TFrameStyle raisedStyle);
  // A themed part drawn through a scratch bitmap first filled with Color over fill.
  void DrawThemedThroughScratch(const TThemedElementDetails& details, const TRect& fill,
                                const TRect& part);

  bool FDown = false;
  bool FDragging = false;
  bool FFlat = false;
  bool FMouseOverButton = false;
  std::unique_ptr<TBitmap> FGlyph;
  TNumGlyphs FNumGlyphs = 1;
  bool FRepeatClicks = false;
  TTimer* FRepeatTimer = nullptr;  // owned as a component
  WORD FInitialDelay = 400;
  WORD FDelay = 100;
  TRzControlButtonStyle FStyle = cbsNone;
};

// Registers the table of TRzControlButton (and the class library's it stands on); runs once.
void RegisterRzButtonClasses();
