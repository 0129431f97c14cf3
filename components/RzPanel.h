#pragma once
// Unit RzPanel: the framed panel, the container every panel-like control of the library derives
// from, and the dock manager it makes for itself when it is a dock site.
#include <cstdint>
#include <memory>

#include "Classes.h"
#include "ExtCtrls.h"
#include "RzCommon.h"

enum TAlignmentVertical : std::uint8_t { avTop, avCenter, avBottom };
enum TRzVisualStyle : std::uint8_t { vsClassic, vsWinXP, vsGradient };
enum TRzGridStyle : std::uint8_t { gsDots, gsDottedLines, gsSolidLines };

class TRzCustomPanel : public TCustomPanel, public IFrameControllerNotify {
 public:
  explicit TRzCustomPanel(TComponent* owner);
  ~TRzCustomPanel() override;
  String ClassName() const override;
  void Dispatch(TMessage& message) override;
  // A panel aligned to the bottom (right) keeps its bottom (right) edge when it resizes.
  void SetBounds(int left, int top, int width, int height) override;

  void SetGridSize(int xSize, int ySize);
  // Takes over the registered controller's frame style, sides, colour and parent colour.
  void FrameSettingsChanged() override;

  TAlignmentVertical AlignmentVertical() const { return FAlignmentVertical; }
  virtual void SetAlignmentVertical(TAlignmentVertical value);
  TColor BorderColor() const { return FBorderColor; }
  virtual void SetBorderColor(TColor value);
  TFrameStyleEx BorderInner() const { return FBorderInner; }
  virtual void SetBorderInner(TFrameStyleEx value);
  TFrameStyleEx BorderOuter() const { return FBorderOuter; }
  virtual void SetBorderOuter(TFrameStyleEx value);
  TSides BorderSides() const { return FBorderSides; }
  virtual void SetBorderSides(TSides value);
  TColor BorderHighlight() const { return FBorderHighlight; }
  virtual void SetBorderHighlight(TColor value);
  TColor BorderShadow() const { return FBorderShadow; }
  virtual void SetBorderShadow(TColor value);
  TColor FlatColor() const { return FFlatColor; }
  virtual void SetFlatColor(TColor value);
  int FlatColorAdjustment() const { return FFlatColorAdjustment; }
  virtual void SetFlatColorAdjustment(int value);
  TRzFrameController* FrameController() const { return FFrameController; }
  virtual void SetFrameController(TRzFrameController* value);
  TRzFrameControllerNotifications FrameControllerNotifications() const {
    return FFrameControllerNotifications;
  }
  void SetFrameControllerNotifications(TRzFrameControllerNotifications value) {
    FFrameControllerNotifications = value;
  }
  TRzGradientColorStyle GradientColorStyle() const { return FGradientColorStyle; }
  virtual void SetGradientColorStyle(TRzGradientColorStyle value);
  TColor GradientColorStart() const { return FGradientColorStart; }
  virtual void SetGradientColorStart(TColor value);
  TColor GradientColorStop() const { return FGradientColorStop; }
  virtual void SetGradientColorStop(TColor value);
  TGradientDirection GradientDirection() const { return FGradientDirection; }
  virtual void SetGradientDirection(TGradientDirection value);
  TColor GridColor() const { return FGridColor; }
  virtual void SetGridColor(TColor value);
  TRzGridStyle GridStyle() const { return FGridStyle; }
  virtual void SetGridStyle(TRzGridStyle value);
  int GridXSize() const { return FGridXSize; }
  virtual void SetGridXSize(int value);
  int GridYSize() const { return FGridYSize; }
  virtual void SetGridYSize(int value);
  bool PaintClientArea() const { return FPaintClientArea; }
  virtual void SetPaintClientArea(bool value);
  bool ShowGrid() const { return FShowGrid; }
  virtual void SetShowGrid(bool value);
  bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool value);
  int TextMargin() const { return FTextMargin; }
  virtual void SetTextMargin(int value);
  int TextMarginVertical() const { return FTextMarginVertical; }
  virtual void SetTextMarginVertical(int value);
  bool WordWrap() const { return FWordWrap; }
  virtual void SetWordWrap(bool value);
  TRzVisualStyle VisualStyle() const { return FVisualStyle; }
  virtual void SetVisualStyle(TRzVisualStyle value);
  // Read by the dock manager as it paints; changing it repaints nothing by itself.
  bool ShowDockClientCaptions() const { return FShowDockClientCaptions; }
  void SetShowDockClientCaptions(bool value) { FShowDockClientCaptions = value; }
  TRzAboutInfo About() const { return FAboutInfo; }
  void SetAbout(TRzAboutInfo) {}
  // The states the last disabling saved: "1" or "0" with the child as the object.
  const TStringList* EnabledList() const { return FEnabledList.get(); }

  TNotifyEvent OnPaint;

  // The room the borders take (with BorderWidth when includeBorderWidth).
  virtual void AdjustRectForBorders(TRect& r, bool includeBorderWidth);

 protected:
  void DefineProperties(TFiler* filer) override;
  void Notification(TComponent* component, TOperation operation) override;
  void AdjustClientRect(TRect& rect) override;
  void AlignControls(TControl* control, TRect& rect) override;
  void Paint() override;
  IDockManager* CreateDockManager() override;

  virtual TPoint GetCursorPosition();
  virtual TRect GetPaintRect();
  // The extra width of the strips repainted after a resize.
  virtual TPoint GetRepaintMargin();
  virtual void EnableChildControls(bool enable);
  virtual void GetGradientColors(TColor& startColor, TColor& stopColor);
  virtual void GetFlatColors(TColor& flatColor, int& adjustment);
  virtual void DrawCaption(const TRect& rect);
  virtual void DrawGrid(const TRect& rect);

  bool FInAlignControls = false;
  TAlignmentVertical FAlignmentVertical = avCenter;
  TFrameStyleEx FBorderInner = fsNone;
  TFrameStyleEx FBorderOuter = fsRaised;
  TSides FBorderSides = sdAllSides;
  TColor FBorderColor = clBtnFace;
  TColor FBorderHighlight = clBtnHighlight;
  TColor FBorderShadow = clBtnShadow;
  TColor FFlatColor = clBtnShadow;
  int FFlatColorAdjustment = 30;
  bool FPaintClientArea = true;
  TColor FPanelColor = clBtnFace;
  TRzVisualStyle FVisualStyle = vsWinXP;
  TRzGradientColorStyle FGradientColorStyle = gcsSystem;
  TColor FGradientColorStart = clWhite;
  TColor FGradientColorStop = clBtnFace;
  TGradientDirection FGradientDirection = gdHorizontalEnd;
  TColor FGridColor = clBtnShadow;
  TRzGridStyle FGridStyle = gsDots;
  std::uint16_t FGridXSize = 8;
  std::uint16_t FGridYSize = 8;
  bool FShowGrid = false;
  bool FTransparent = false;
  int FTextMargin = 0;
  int FTextMarginVertical = 0;
  bool FWordWrap = true;
  bool FShowDockClientCaptions = true;
  std::unique_ptr<TStringList> FEnabledList;
  TRzAboutInfo FAboutInfo = aiAbout;
  TRzFrameController* FFrameController = nullptr;
  TRzFrameControllerNotifications FFrameControllerNotifications = fcnAllNotifications;

 private:
  void RepaintAfterResize(const WINDOWPOS& pos);
  void InvalidateChildren();
};

// Caption bars over the controls docked into a framed panel: the control's text in the caption
// colours and a close glyph, across the top of each control, or up its left side when the panel
// is aligned to the top or bottom of its parent.
class TRzPanelDockManager : public TDockTree {
 public:
  // EInvalidCast when dockSite is not a framed panel.
  explicit TRzPanelDockManager(TWinControl* dockSite);
  ~TRzPanelDockManager() override;
  TRzCustomPanel* Panel() const { return FPanel; }
  TFont* Font() const { return FFont.get(); }
  TFont* CloseFont() const { return FCloseFont.get(); }
  int GrabberSize() const { return FGrabberSize; }
  // Whether the site's window procedure currently leads to this manager.
  bool Hooked() const;

 protected:
  void AdjustDockRect(TControl* control, TRect& r) override;
  void PaintDockFrame(TCanvas* canvas, TControl* control, const TRect& r) override;
  void DockSiteWndProc(TMessage& message);

 private:
  struct HookState;
  struct SiteHook;
  void DrawVerticalCaption(TCanvas* canvas, const String& text, const TRect& bar);

  TRzCustomPanel* FPanel;
  // Shared with the hook installed on the site, which outlives this manager when another hook
  // has been chained over it.
  std::shared_ptr<HookState> FOldWndProc;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TFont> FCloseFont;
  int FGrabberSize = 14;
};

// Registers the property table of the framed panel.
void RegisterRzPanelClasses();
