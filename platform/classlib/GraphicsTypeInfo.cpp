#include "GraphicsTypeInfo.h"

#include "Collections.h"
#include "Numbers.h"
#include "ScopeGuard.h"
#include "Streaming.h"

namespace {

constexpr std::int64_t Signed(TColor c) { return static_cast<std::int32_t>(c); }

std::vector<TIdentMapEntry> ColorIdents() {
  return {
      {Signed(clBlack), u"clBlack"},
      {Signed(clMaroon), u"clMaroon"},
      {Signed(clGreen), u"clGreen"},
      {Signed(clOlive), u"clOlive"},
      {Signed(clNavy), u"clNavy"},
      {Signed(clPurple), u"clPurple"},
      {Signed(clTeal), u"clTeal"},
      {Signed(clGray), u"clGray"},
      {Signed(clSilver), u"clSilver"},
      {Signed(clRed), u"clRed"},
      {Signed(clLime), u"clLime"},
      {Signed(clYellow), u"clYellow"},
      {Signed(clBlue), u"clBlue"},
      {Signed(clFuchsia), u"clFuchsia"},
      {Signed(clAqua), u"clAqua"},
      {Signed(clWhite), u"clWhite"},
      {Signed(clMoneyGreen), u"clMoneyGreen"},
      {Signed(clSkyBlue), u"clSkyBlue"},
      {Signed(clCream), u"clCream"},
      {Signed(clMedGray), u"clMedGray"},
      {Signed(clActiveBorder), u"clActiveBorder"},
      {Signed(clActiveCaption), u"clActiveCaption"},
      {Signed(clAppWorkSpace), u"clAppWorkSpace"},
      {Signed(clBackground), u"clBackground"},
      {Signed(clBtnFace), u"clBtnFace"},
      {Signed(clBtnHighlight), u"clBtnHighlight"},
      {Signed(clBtnShadow), u"clBtnShadow"},
      {Signed(clBtnText), u"clBtnText"},
      {Signed(clCaptionText), u"clCaptionText"},
      {Signed(clDefault), u"clDefault"},
      {Signed(clGradientActiveCaption), u"clGradientActiveCaption"},
      {Signed(clGradientInactiveCaption), u"clGradientInactiveCaption"},
      {Signed(clGrayText), u"clGrayText"},
      {Signed(clHighlight), u"clHighlight"},
      {Signed(clHighlightText), u"clHighlightText"},
      {Signed(clHotLight), u"clHotLight"},
      {Signed(clInactiveBorder), u"clInactiveBorder"},
      {Signed(clInactiveCaption), u"clInactiveCaption"},
      {Signed(clInactiveCaptionText), u"clInactiveCaptionText"},
      {Signed(clInfoBk), u"clInfoBk"},
      {Signed(clInfoText), u"clInfoText"},
      {Signed(clMenu), u"clMenu"},
      {Signed(clMenuBar), u"clMenuBar"},
      {Signed(clMenuHighlight), u"clMenuHighlight"},
      {Signed(clMenuText), u"clMenuText"},
      {Signed(clNone), u"clNone"},
      {Signed(clScrollBar), u"clScrollBar"},
      {Signed(cl3DDkShadow), u"cl3DDkShadow"},
      {Signed(cl3DLight), u"cl3DLight"},
      {Signed(clWindow), u"clWindow"},
      {Signed(clWindowFrame), u"clWindowFrame"},
      {Signed(clWindowText), u"clWindowText"},
      // Read but never written: the names above come first for the same values.
      {Signed(clLtGray), u"clLtGray"},
      {Signed(clDkGray), u"clDkGray"},
  };
}

}  // namespace

const TTypeInfo* TypeInfoTColor() {
  static const TTypeInfo t = TTypeInfo::Integer(u"TColor", otSLong, ColorIdents());
  return &t;
}

const TTypeInfo* TypeInfoTFontCharset() {
  static const TTypeInfo t = TTypeInfo::Integer(u"TFontCharset", otUByte,
                                                {{0, u"ANSI_CHARSET"},
                                                 {1, u"DEFAULT_CHARSET"},
                                                 {2, u"SYMBOL_CHARSET"},
                                                 {77, u"MAC_CHARSET"},
                                                 {128, u"SHIFTJIS_CHARSET"},
                                                 {129, u"HANGEUL_CHARSET"},
                                                 {130, u"JOHAB_CHARSET"},
                                                 {134, u"GB2312_CHARSET"},
                                                 {136, u"CHINESEBIG5_CHARSET"},
                                                 {161, u"GREEK_CHARSET"},
                                                 {162, u"TURKISH_CHARSET"},
                                                 {163, u"VIETNAMESE_CHARSET"},
                                                 {177, u"HEBREW_CHARSET"},
                                                 {178, u"ARABIC_CHARSET"},
                                                 {186, u"BALTIC_CHARSET"},
                                                 {204, u"RUSSIAN_CHARSET"},
                                                 {222, u"THAI_CHARSET"},
                                                 {238, u"EASTEUROPE_CHARSET"},
                                                 {255, u"OEM_CHARSET"}});
  return &t;
}

const TTypeInfo* TypeInfoTFontStyle() {
  static const TTypeInfo t = TTypeInfo::Enumeration(
      u"TFontStyle", {u"fsBold", u"fsItalic", u"fsUnderline", u"fsStrikeOut"});
  return &t;
}

const TTypeInfo* TypeInfoTFontStyles() {
  static const TTypeInfo t = TTypeInfo::Set(u"TFontStyles", TypeInfoTFontStyle());
  return &t;
}

const TTypeInfo* TypeInfoTFontPitch() {
  static const TTypeInfo t =
      TTypeInfo::Enumeration(u"TFontPitch", {u"fpDefault", u"fpVariable", u"fpFixed"});
  return &t;
}

const TTypeInfo* TypeInfoTPenStyle() {
  static const TTypeInfo t = TTypeInfo::Enumeration(
      u"TPenStyle", {u"psSolid", u"psDash", u"psDot", u"psDashDot", u"psDashDotDot", u"psClear",
                     u"psInsideFrame", u"psUserStyle", u"psAlternate"});
  return &t;
}

const TTypeInfo* TypeInfoTPenMode() {
  static const TTypeInfo t = TTypeInfo::Enumeration(
      u"TPenMode", {u"pmBlack", u"pmWhite", u"pmNop", u"pmNot", u"pmCopy", u"pmNotCopy",
                    u"pmMergePenNot", u"pmMaskPenNot", u"pmMergeNotPen", u"pmMaskNotPen",
                    u"pmMerge", u"pmNotMerge", u"pmMask", u"pmNotMask", u"pmXor", u"pmNotXor"});
  return &t;
}

const TTypeInfo* TypeInfoTBrushStyle() {
  static const TTypeInfo t = TTypeInfo::Enumeration(
      u"TBrushStyle", {u"bsSolid", u"bsClear", u"bsHorizontal", u"bsVertical", u"bsFDiagonal",
                       u"bsBDiagonal", u"bsCross", u"bsDiagCross"});
  return &t;
}

bool ColorToIdent(TColor color, String& ident) {
  return IntToIdent(TypeInfoTColor(), Signed(color), ident);
}

bool IdentToColor(const String& ident, TColor& color) {
  std::int64_t v = 0;
  if (!IdentToInt(TypeInfoTColor(), ident, v)) return false;
  color = static_cast<TColor>(v);
  return true;
}

String ColorToString(TColor color) {
  String ident;
  if (ColorToIdent(color, ident)) return ident;
  return u"$" + IntToHex(color, 8);
}

TColor StringToColor(const String& text) {
  TColor c = 0;
  if (IdentToColor(text, c)) return c;
  return static_cast<TColor>(StrToInt(text));
}

void RegisterStandardClassTables() {
  // Tables merge a second registration, but definers would pile up (Strings written twice).
  static bool done = false;
  if (done) return;
  done = true;
  Published<TObject>(u"TObject", u"");
  Published<TPersistent>(u"TPersistent", u"TObject");

  Published<TComponent>(u"TComponent", u"TPersistent")
      // Written as the block's header, never as a property.
      .Str(u"Name", &TComponent::Name, &TComponent::SetName)
      .Stored(false)
      .Ord(u"Tag", TypeInfoNativeInt(), &TComponent::Tag, &TComponent::SetTag, 0);

  Published<TStrings>(u"TStrings", u"TPersistent")
      .DefineProperties([](TStrings* strings, TFiler* filer) {
        filer->DefineProperty(
            u"Strings",
            [strings](TReader* reader) {
              reader->ReadListBegin();
              {
                UpdateScope update(strings);
                strings->Clear();
                while (!reader->EndOfList()) strings->Add(reader->ReadString());
              }
              reader->ReadListEnd();
            },
            [strings](TWriter* writer) {
              writer->WriteListBegin();
              for (int i = 0; i < strings->Count(); ++i) writer->WriteString(strings->Strings(i));
              writer->WriteListEnd();
            },
            strings->Count() > 0);
      });
  Published<TStringList>(u"TStringList", u"TStrings");

  Published<TCollection>(u"TCollection", u"TPersistent");

  Published<TCollectionItem>(u"TCollectionItem", u"TPersistent");

  Published<TGraphicsObject>(u"TGraphicsObject", u"TPersistent");

  Published<TFont>(u"TFont", u"TGraphicsObject")
      .Ord(u"Charset", TypeInfoTFontCharset(), &TFont::Charset, &TFont::SetCharset)
      .Ord(u"Color", TypeInfoTColor(), &TFont::Color, &TFont::SetColor)
      .Int(u"Height", &TFont::Height, &TFont::SetHeight)
      .Str(u"Name", &TFont::Name, &TFont::SetName)
      .Int(u"Orientation", &TFont::Orientation, &TFont::SetOrientation, 0)
      .Ord(u"Pitch", TypeInfoTFontPitch(), &TFont::Pitch, &TFont::SetPitch, fpDefault)
      // Height says the same; only one of them is stored.
      .Int(u"Size", &TFont::Size, &TFont::SetSize)
      .Stored(false)
      .Ord(u"Style", TypeInfoTFontStyles(), &TFont::Style, &TFont::SetStyle);

  Published<TPen>(u"TPen", u"TGraphicsObject")
      .Ord(u"Color", TypeInfoTColor(), &TPen::Color, &TPen::SetColor, clBlack)
      .Ord(u"Mode", TypeInfoTPenMode(), &TPen::Mode, &TPen::SetMode, pmCopy)
      .Ord(u"Style", TypeInfoTPenStyle(), &TPen::Style, &TPen::SetStyle, psSolid)
      .Int(u"Width", &TPen::Width, &TPen::SetWidth, 1);

  Published<TGraphic>(u"TGraphic", u"TPersistent");
  // Data: the BMP file's length in four little-endian bytes, then the file.
  Published<TBitmap>(u"TBitmap", u"TGraphic").DefineProperties([](TBitmap* bitmap, TFiler* filer) {
    filer->DefineBinaryProperty(
        u"Data",
        [bitmap](TStream* stream) {
          std::uint8_t size[4];
          stream->ReadBuffer(size, 4);
          const std::int64_t length = std::int64_t(size[0]) | (std::int64_t(size[1]) << 8) |
                                      (std::int64_t(size[2]) << 16) | (std::int64_t(size[3]) << 24);
          if (length != stream->Size() - stream->Position())
            throw EInvalidGraphic(u"Bitmap image is not valid");
          bitmap->LoadFromStream(stream);
        },
        [bitmap](TStream* stream) {
          TMemoryStream file;
          bitmap->SaveToStream(&file);
          const auto length = static_cast<std::uint32_t>(file.Size());
          const std::uint8_t size[4] = {std::uint8_t(length), std::uint8_t(length >> 8),
                                        std::uint8_t(length >> 16), std::uint8_t(length >> 24)};
          stream->WriteBuffer(size, 4);
          stream->WriteBuffer(file.Memory(), static_cast<int>(file.Size()));
        },
        !bitmap->Empty());
  });

  Published<TBrush>(u"TBrush", u"TGraphicsObject")
      .Ord(u"Color", TypeInfoTColor(), &TBrush::Color, &TBrush::SetColor, clWhite)
      .Ord(u"Style", TypeInfoTBrushStyle(), &TBrush::Style, &TBrush::SetStyle, bsSolid);
}
