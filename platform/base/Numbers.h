#pragma once
// Numeric formatting and conversion with the platform's semantics.
#include <cstdint>

#include "Locale.h"
#include "Strings.h"

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// Format-pattern formatter: up to three ";"-separated sections (positive, negative, zero),
// "0" and "#" digit placeholders, "." decimal point, "," grouping, "E+"/"E-"/"e+"/"e-"
// exponents, quoted literals. Halves round away from zero as the platform's formatter does.
String FormatFloat(const String& format, Extended value);
String FormatFloat(const String& format, Extended value, const TFormatSettings& fs);

// The general form: 15 significant digits, no trailing zeros.
String FloatToStr(Extended value);
String FloatToStr(Extended value, const TFormatSettings& fs);
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

// Decimal, "$" hex and "0x" hex integers; errors raise EConvertError
// ("'%s' is not a valid integer value").
int StrToInt(const String& s);
int StrToIntDef(const String& s, int def);
bool TryStrToInt(const String& s, int& value);
std::int64_t StrToInt64(const String& s);
std::int64_t StrToInt64Def(const String& s, std::int64_t def);
bool TryStrToInt64(const String& s, std::int64_t& value);

// Nearest integer, halves to the even neighbour (the platform's Round).
std::int64_t Round(Extended value);
// Towards zero.
std::int64_t Trunc(Extended value);
Extended Int(Extended value);
Extended Frac(Extended value);
