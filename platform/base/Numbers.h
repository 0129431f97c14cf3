#pragma once
// Numeric formatting and conversion with the platform's semantics.
#include <cstdint>

#include "Locale.h"
#include "Strings.h"

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// Format-pattern formatter: up to three ";"-separated sections (positive, negative, zero),
// "0" and "#" digit placeholders, "." decimal point, "," grouping, "E+"/"E-"/"e+"/"e-"
// exponents, quoted literals. Halves round away from zero as the platform's formatter does.
// A value shown as zero takes the zero section (or the first) without a sign; values of 1e18
// and above in a section without an exponent, NaN and infinities get the general form.
String FormatFloat(const String& format, Extended value);
String FormatFloat(const String& format, Extended value, const TFormatSettings& fs);

// The general form: 15 significant digits, no trailing zeros, scientific ("1E15", "1E-5")
// below 0.0001 and from 10^precision up. NaN and infinities read "NAN", "INF", "-INF".
String FloatToStr(Extended value);
String FloatToStr(Extended value, const TFormatSettings& fs);
// Precision is 1..18 significant digits. Digits: ffGeneral and ffExponent, the minimum exponent
// digits (0..4); ffFixed, ffNumber and ffCurrency ("$" in front), the decimals (0..18). A fixed
// value with more integer digits than the precision is given in the general form.
String FloatToStrF(Extended value, TFloatFormat format, int precision, int digits);
String FloatToStrF(Extended value, TFloatFormat format, int precision, int digits,
                   const TFormatSettings& fs);

// Locale-aware text-to-float: leading and trailing blanks allowed, the locale's decimal
// separator, an optional exponent. Malformed or out-of-range text raises EConvertError
// ("'%s' is not a valid floating point value").
Extended StrToFloat(const String& s);
Extended StrToFloat(const String& s, const TFormatSettings& fs);
bool TryStrToFloat(const String& s, Extended& value);
bool TryStrToFloat(const String& s, Extended& value, const TFormatSettings& fs);
Extended StrToFloatDef(const String& s, Extended def);
Extended StrToFloatDef(const String& s, Extended def, const TFormatSettings& fs);

// Leading blanks, a sign, then decimal digits or "$"/"0x" and hex digits; nothing may follow.
// Hex digits are the value's bits ("$FFFFFFFF" is -1 as an int); a decimal value out of range
// fails. Errors raise EConvertError ("'%s' is not a valid integer value").
int StrToInt(const String& s);
int StrToIntDef(const String& s, int def);
bool TryStrToInt(const String& s, int& value);
std::int64_t StrToInt64(const String& s);
bool TryStrToInt64(const String& s, std::int64_t& value);

// Nearest integer, halves to the even neighbour (the platform's Round). Round and Trunc raise
// EInvalidOp for NaN and outside the int64 range.
std::int64_t Round(Extended value);
// Towards zero.
std::int64_t Trunc(Extended value);
Extended Int(Extended value);
Extended Frac(Extended value);
