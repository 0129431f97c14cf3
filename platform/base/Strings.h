#pragma once
// UTF-16 text, as the system's text is, with the few helpers the units use.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

using Char = char16_t;
using String = std::u16string;
using Extended = long double;  // 80-bit extended precision on this machine

String FromUtf8(std::string_view utf8);
std::string ToUtf8(const String& s);
// Literal helper for ASCII and UTF-8 text: S("Paths").
inline String S(const char* utf8) { return FromUtf8(utf8); }

// Position of Sub in S counting from 1; 0 when absent or Sub is empty.
int Pos(const String& sub, const String& s);
// Count characters from position Index (from 1); out-of-range parts are clipped.
String Copy(const String& s, int index, int count);
// Trimming removes spaces and control characters (code <= 32), as the platform does.
String Trim(const String& s);
String TrimLeft(const String& s);
String TrimRight(const String& s);
// ASCII-only case mapping; other characters pass unchanged.
String UpperCase(const String& s);
String LowerCase(const String& s);
// Full Unicode-aware case mapping of the Basic Multilingual Plane letters.
String AnsiUpperCase(const String& s);
String AnsiLowerCase(const String& s);
int CompareText(const String& a, const String& b);  // ASCII case-insensitive
bool SameText(const String& a, const String& b);

String IntToStr(std::int64_t v);
String IntToHex(std::uint64_t v, int digits);
// The value of a hexadecimal digit (either case); -1 for any other character.
int HexDigitValue(Char c);

// "%s", "%d", "%u", "%x" and "%%" with arguments taken in order.
using FormatArg = std::variant<String, std::int64_t, long double>;
String Format(const String& fmt, std::initializer_list<FormatArg> args);
