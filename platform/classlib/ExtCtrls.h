#pragma once
// Panels, images and bevels.
#include <cstdint>
#include <memory>

#include "Controls.h"
#include "Graphics.h"

enum TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
enum TVerticalAlignment : std::uint8_t { taAlignTop, taAlignBottom, taVerticalCenter };
enum TBevelShape : std::uint8_t {
  bsBox,
  bsFrame,
  bsTopLine,
  bsBottomLine,
  bsLeftLine,
  bsRightLine,
  bsSpacer
};
enum TBevelStyle : std::uint8_t { bsLowered, bsRaised };

// Draws width one-pixel rings inwards from rect: the top and left edges in topColor, the right
// and bottom edges (with the top-right and bottom-left corners) in bottomColor. rect becomes the
// area inside the rings. Leaves the canvas's pen one pixel wide, in the last colour used.
void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

// ---- Panels ----
// A container with an outer and an inner bevel, a border band between them and a caption.
// Children are aligned inside the bevels and the band.
class TCustomPanel : public TCustomControl {
 public:
  explicit TCustomPanel(TComponent* owner);
  ~TCustomPanel() override;
  String ClassName() const override;
  void Dispatch(TMessage& message) override;

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TVerticalAlignment VerticalAlignment() const { return verticalAlignment_; }
  void SetVerticalAlignment(TVerticalAlignment value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);
  // The band in the panel's colour between the outer and the inner bevel.
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  // bsSingle gives the window a one-pixel border (WS_BORDER).
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  // Repaint the whole panel on every resize rather than the strips that changed.
  bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool value) { fullRepaint_ = value; }
  // A locked panel stays in place when an embedded object replaces the form's contents.
  bool Locked() const { return locked_; }
  void SetLocked(bool value) { locked_ = value; }
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool value);

  // The room the bevels and the band take on each side.
  int BorderExtent() const;

 protected:
  void CreateParams(TCreateParams& params) override;
  void AdjustClientRect(TRect& rect) override;
  void Paint() override;
  // The background colour: the parent's while visual styles are on and ParentBackground is
  // set, otherwise Color.
  TColor BackgroundColor() const;
  virtual void CMBorderChanged(TMessage& message);

 private:
  TAlignment alignment_ = taCenter;
  TVerticalAlignment verticalAlignment_ = taVerticalCenter;
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
  bool fullRepaint_ = true;
  bool locked_ = false;
  bool showCaption_ = true;
};

class TPanel : public TCustomPanel {
 public:
  explicit TPanel(TComponent* owner);
  String ClassName() const override;
};

// ---- Images ----
// Shows a picture. Drawing on Canvas draws on the picture's bitmap (made at the control's size
// when the picture is empty) and shows at the next paint.
class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;
  String ClassName() const override;

  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(const TPicture* picture) { picture_->Assign(picture); }
  // The bitmap's canvas; EInvalidOperation when the picture holds another kind of graphic.
  TCanvas* Canvas();
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool Center() const { return center_; }
  void SetCenter(bool value);
  // Scales down (and, with Stretch, up) keeping the picture's aspect ratio.
  bool Proportional() const { return proportional_; }
  void SetProportional(bool value);
  // The picture's transparent colour (its bottom-left pixel) shows what lies behind.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool IncrementalDisplay() const { return incrementalDisplay_; }
  void SetIncrementalDisplay(bool value) { incrementalDisplay_ = value; }
  // The rectangle the picture is drawn into, in client coordinates.
  TRect DestRect();

  TNotifyEvent OnProgress;

 protected:
  void Paint() override;
  bool CanAutoSize(int& newWidth, int& newHeight) override;
  virtual void PictureChanged();

 private:
  std::unique_ptr<TPicture> picture_;
  bool stretch_ = false;
  bool center_ = false;
  bool proportional_ = false;
  bool transparent_ = false;
  bool incrementalDisplay_ = false;
  bool drawing_ = false;
};

// ---- Bevels ----
// A line or box drawn in the 3D colours, for grouping.
class TBevel : public TGraphicControl {
 public:
  explicit TBevel(TComponent* owner);
  String ClassName() const override;
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape value);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle value);

 protected:
  void Paint() override;

 private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

const TTypeInfo* TypeInfoTBevelCut();
const TTypeInfo* TypeInfoTVerticalAlignment();
const TTypeInfo* TypeInfoTBevelShape();
const TTypeInfo* TypeInfoTBevelStyle();

// Registers the tables of TCustomPanel, TPanel, TImage, TBevel and TPicture.
void RegisterExtCtrlsClasses();
