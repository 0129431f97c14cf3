#pragma once
// Property types of the canvas classes (colours with their identifiers, font styles, pen and
// brush styles, character sets) and the published tables of TFont, TPen and TBrush, so that
// descriptions can say Font.Name = 'Tahoma' and Color = clBtnFace.
#include "Graphics.h"
#include "TypInfo.h"

// TColor: a signed 32-bit integer type whose named and system colours read as identifiers.
const TTypeInfo* TypeInfoTColor();
const TTypeInfo* TypeInfoTFontCharset();
const TTypeInfo* TypeInfoTFontStyle();
const TTypeInfo* TypeInfoTFontStyles();
const TTypeInfo* TypeInfoTFontPitch();
const TTypeInfo* TypeInfoTPenStyle();
const TTypeInfo* TypeInfoTPenMode();
const TTypeInfo* TypeInfoTBrushStyle();

// "clBtnFace" and back; false for a colour without a name.
bool ColorToIdent(TColor color, String& ident);
bool IdentToColor(const String& ident, TColor& color);
// A name, or "$00BBGGRR" for a colour without one; StringToColor also reads integers and raises
// EConvertError for text that is neither.
String ColorToString(TColor color);
TColor StringToColor(const String& text);

// Registers the tables of the class library's persistent classes (TPersistent, TStrings,
// TStringList, TFont, TPen, TBrush, TComponent); runs once, on the first table lookup.
void RegisterStandardClassTables();
