#include "Numbers.h"

#include <locale.h>
#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "Exceptions.h"

namespace {

// Extended carries 18 reliable decimal digits; every conversion starts from them.
constexpr int kMaxDigits = 18;
// Decimals value meaning "as many as the precision allows".
constexpr int kAllDecimals = 9999;

// A value as decimal digits: 0.<digits> x 10^exponent, trailing zeros removed;
// empty digits mean zero (also a value rounded away to zero).
struct FloatRec {
  enum Kind { kFinite, kInf, kNaN } kind = kFinite;
  bool negative = false;
  int exponent = 0;
  std::string digits;
  bool IsZero() const { return kind == kFinite && digits.empty(); }
};

// Rounds to at most `precision` significant digits and `decimals` digits after the point.
// The value goes through 18 correctly rounded digits first and that string is then rounded
// half away from zero: the double rounding is deliberate, it is how the platform rounds.
FloatRec ToDecimal(Extended v, int precision, int decimals) {
  FloatRec r;
  if (std::isnan(v)) {
    r.kind = FloatRec::kNaN;
    return r;
  }
  r.negative = std::signbit(v);
  if (std::isinf(v)) {
    r.kind = FloatRec::kInf;
    return r;
  }
  if (v == 0) return r;

  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17Le", std::fabs(v));
  // Only the ASCII digits are taken, so the process locale's decimal point cannot interfere.
  std::string all;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') all.push_back(*p);
  if (*p != 'e' || all.size() != kMaxDigits) return r;  // cannot happen for a finite value
  int exponent = static_cast<int>(std::strtol(p + 1, nullptr, 10)) + 1;

  precision = std::clamp(precision, 1, kMaxDigits);
  long n = std::min<long>(precision, static_cast<long>(exponent) + decimals);
  if (n < 0) return r;
  if (n < kMaxDigits) {
    bool up = all[static_cast<std::size_t>(n)] >= '5';
    all.resize(static_cast<std::size_t>(n));
    if (up) {
      long k = n - 1;
      while (k >= 0 && all[static_cast<std::size_t>(k)] == '9')
        all[static_cast<std::size_t>(k--)] = '0';
      if (k < 0) {
        all.insert(all.begin(), '1');
        ++exponent;
      } else {
        ++all[static_cast<std::size_t>(k)];
      }
    }
  }
  while (!all.empty() && all.back() == '0') all.pop_back();
  if (all.empty()) return r;
  r.exponent = exponent;
  r.digits = std::move(all);
  return r;
}

void AppendAscii(String& out, const std::string& s) {
  for (char c : s) out.push_back(static_cast<Char>(c));
}

void AppendExponent(String& out, int e, bool alwaysSign, int minDigits) {
  if (e < 0) out.push_back(u'-');
  else if (alwaysSign) out.push_back(u'+');
  std::string d = std::to_string(e < 0 ? -static_cast<long>(e) : e);
  if (static_cast<int>(d.size()) < minDigits)
    d.insert(0, static_cast<std::size_t>(minDigits) - d.size(), '0');
  AppendAscii(out, d);
}

String SpecialText(const FloatRec& d) {
  if (d.kind == FloatRec::kNaN) return u"NAN";
  return d.negative ? u"-INF" : u"INF";
}

// The digits before the point of a finite value (empty below 1).
std::string IntegerDigits(const FloatRec& d) {
  if (d.exponent <= 0) return std::string();
  std::string s =
      d.digits.substr(0, std::min(d.digits.size(), static_cast<std::size_t>(d.exponent)));
  s.resize(static_cast<std::size_t>(d.exponent), '0');
  return s;
}

// The digits after the point of a finite value, without trailing zeros.
std::string FractionDigits(const FloatRec& d) {
  if (d.digits.empty()) return std::string();
  if (d.exponent >= 0)
    return static_cast<std::size_t>(d.exponent) < d.digits.size()
               ? d.digits.substr(static_cast<std::size_t>(d.exponent))
               : std::string();
  return std::string(static_cast<std::size_t>(-d.exponent), '0') + d.digits;
}

void AppendGrouped(String& out, const std::string& digits, Char sep) {
  for (std::size_t i = 0; i < digits.size(); ++i) {
    out.push_back(static_cast<Char>(digits[i]));
    std::size_t left = digits.size() - 1 - i;
    if (left > 0 && left % 3 == 0) out.push_back(sep);
  }
}

// d must come from ToDecimal(v, precision, kAllDecimals).
String FormatGeneral(const FloatRec& d, int precision, int expDigits, const TFormatSettings& fs) {
  if (d.kind != FloatRec::kFinite) return SpecialText(d);
  if (d.IsZero()) return u"0";
  String out;
  if (d.negative) out.push_back(u'-');
  if (d.exponent > precision || d.exponent < -3) {
    out.push_back(static_cast<Char>(d.digits[0]));
    if (d.digits.size() > 1) {
      out.push_back(fs.DecimalSeparator);
      AppendAscii(out, d.digits.substr(1));
    }
    out.push_back(u'E');
    AppendExponent(out, d.exponent - 1, false, std::clamp(expDigits, 0, 4));
    return out;
  }
  std::string whole = IntegerDigits(d), frac = FractionDigits(d);
  AppendAscii(out, whole.empty() ? std::string("0") : whole);
  if (!frac.empty()) {
    out.push_back(fs.DecimalSeparator);
    AppendAscii(out, frac);
  }
  return out;
}

String FormatExponent(Extended v, int precision, int expDigits, const TFormatSettings& fs) {
  precision = std::clamp(precision, 1, kMaxDigits);
  FloatRec d = ToDecimal(v, precision, kAllDecimals);
  if (d.kind != FloatRec::kFinite) return SpecialText(d);
  String out;
  if (d.negative && !d.IsZero()) out.push_back(u'-');
  std::string digits = d.digits;
  digits.resize(static_cast<std::size_t>(precision), '0');
  out.push_back(static_cast<Char>(digits[0]));
  if (precision > 1) {
    out.push_back(fs.DecimalSeparator);
    AppendAscii(out, digits.substr(1));
  }
  out.push_back(u'E');
  AppendExponent(out, d.IsZero() ? 0 : d.exponent - 1, true, std::clamp(expDigits, 0, 4));
  return out;
}

// ffFixed, ffNumber and ffCurrency share this: `decimals` digits after the point.
String FormatFixed(Extended v, int precision, int decimals, bool grouped, const String& prefix,
                   const TFormatSettings& fs) {
  precision = std::clamp(precision, 1, kMaxDigits);
  decimals = std::clamp(decimals, 0, kMaxDigits);
  FloatRec d = ToDecimal(v, precision, decimals);
  if (d.kind != FloatRec::kFinite) return SpecialText(d);
  // More integer digits than the precision holds: the general form says it honestly.
  if (d.exponent > precision)
    return FormatGeneral(ToDecimal(v, precision, kAllDecimals), precision, decimals, fs);
  String out;
  if (d.negative && !d.IsZero()) out.push_back(u'-');
  out += prefix;
  std::string whole = IntegerDigits(d);
  if (whole.empty()) whole = "0";
  if (grouped) AppendGrouped(out, whole, fs.ThousandSeparator);
  else AppendAscii(out, whole);
  if (decimals > 0) {
    std::string frac = FractionDigits(d);
    frac.resize(static_cast<std::size_t>(decimals), '0');
    out.push_back(fs.DecimalSeparator);
    AppendAscii(out, frac);
  }
  return out;
}

// ---- Format patterns ----

struct Token {
  enum Kind { kLiteral, kDigit, kPoint, kExponent } kind;
  Char ch = 0;  // the placeholder ('0' or '#'), or the exponent letter
  String text;  // literal text
  bool alwaysSign = false;
  int expDigits = 0;
};

struct Section {
  std::vector<Token> tokens;
  bool empty = true;
  int intPlaces = 0;
  int firstIntZero = -1;  // among the integer placeholders
  int fracPlaces = 0;
  int lastFracZero = -1;  // among the fraction placeholders
  bool grouping = false;
  bool scientific = false;
};

// Splits at ";" outside quotes; at most three sections count.
std::vector<String> SplitSections(const String& format) {
  std::vector<String> sections(1);
  Char quote = 0;
  for (Char c : format) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == u'\'' || c == u'"') {
      quote = c;
    } else if (c == u';') {
      if (sections.size() == 3) break;
      sections.emplace_back();
      continue;
    }
    sections.back().push_back(c);
  }
  return sections;
}

Section ParseSection(const String& text) {
  Section s;
  s.empty = text.empty();
  bool point = false;
  auto literal = [&s](const String& t) {
    if (!s.tokens.empty() && s.tokens.back().kind == Token::kLiteral) s.tokens.back().text += t;
    else s.tokens.push_back({Token::kLiteral, 0, t});
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    Char c = text[i];
    if (c == u'\'' || c == u'"') {
      std::size_t end = text.find(c, i + 1);
      if (end == String::npos) end = text.size();
      literal(text.substr(i + 1, end - i - 1));
      i = end;
    } else if (c == u'0' || c == u'#') {
      s.tokens.push_back({Token::kDigit, c, String()});
      if (!point) {
        if (c == u'0' && s.firstIntZero < 0) s.firstIntZero = s.intPlaces;
        ++s.intPlaces;
      } else {
        if (c == u'0') s.lastFracZero = s.fracPlaces;
        ++s.fracPlaces;
      }
    } else if (c == u'.') {
      if (!point) s.tokens.push_back({Token::kPoint, c, String()});
      point = true;
    } else if (c == u',') {
      s.grouping = true;  // wherever it stands; never shown itself
    } else if ((c == u'E' || c == u'e') && !s.scientific && i + 1 < text.size() &&
               (text[i + 1] == u'+' || text[i + 1] == u'-')) {
      Token t{Token::kExponent, c, String()};
      t.alwaysSign = text[i + 1] == u'+';
      i += 2;
      int zeros = 0;
      while (i < text.size() && text[i] == u'0') ++zeros, ++i;
      --i;
      t.expDigits = std::min(zeros, 4);
      s.tokens.push_back(t);
      s.scientific = true;
    } else {
      literal(String(1, c));
    }
  }
  return s;
}

// Fills one section with |v|; the caller has chosen the section and decided on the sign.
String ApplySection(const Section& s, const FloatRec& d, const TFormatSettings& fs) {
  std::string whole, frac;
  int shownExponent = 0;
  if (s.scientific) {
    if (!d.IsZero()) {
      shownExponent = d.exponent - s.intPlaces;
      whole = d.digits.substr(0, std::min(d.digits.size(), static_cast<std::size_t>(s.intPlaces)));
      whole.resize(static_cast<std::size_t>(s.intPlaces), '0');
      if (d.digits.size() > static_cast<std::size_t>(s.intPlaces))
        frac = d.digits.substr(static_cast<std::size_t>(s.intPlaces));
    }
  } else {
    whole = IntegerDigits(d);
    frac = FractionDigits(d);
  }
  std::size_t minWhole =
      s.firstIntZero < 0 ? 0 : static_cast<std::size_t>(s.intPlaces - s.firstIntZero);
  if (whole.size() < minWhole) whole.insert(0, minWhole - whole.size(), '0');
  if (frac.size() < static_cast<std::size_t>(s.lastFracZero + 1))
    frac.resize(static_cast<std::size_t>(s.lastFracZero + 1), '0');

  String out;
  const long len = static_cast<long>(whole.size());
  // Emits the digits of `whole` for the powers of ten from..to (from >= to), grouped.
  auto emitWhole = [&](long from, long to) {
    for (long q = from; q >= to; --q) {
      if (q >= len) continue;
      out.push_back(static_cast<Char>(whole[static_cast<std::size_t>(len - 1 - q)]));
      if (s.grouping && q > 0 && q % 3 == 0) out.push_back(fs.ThousandSeparator);
    }
  };
  int intIndex = 0, fracIndex = 0;
  bool point = false;
  for (const Token& t : s.tokens) {
    switch (t.kind) {
      case Token::kLiteral: out += t.text; break;
      case Token::kDigit:
        if (!point) {
          long power = s.intPlaces - 1 - intIndex;
          // Digits beyond the placeholders all go where the first one stands.
          emitWhole(intIndex == 0 ? len - 1 : power, power);
          ++intIndex;
        } else {
          if (static_cast<std::size_t>(fracIndex) < frac.size())
            out.push_back(static_cast<Char>(frac[static_cast<std::size_t>(fracIndex)]));
          ++fracIndex;
        }
        break;
      case Token::kPoint:
        if (s.intPlaces == 0) emitWhole(len - 1, 0);
        point = true;
        if (!frac.empty()) out.push_back(fs.DecimalSeparator);
        break;
      case Token::kExponent:
        out.push_back(t.ch);
        AppendExponent(out, shownExponent, t.alwaysSign, t.expDigits);
        break;
    }
  }
  return out;
}

FloatRec DecimalFor(const Section& s, Extended magnitude) {
  if (s.scientific)
    return ToDecimal(magnitude, std::clamp(s.intPlaces + s.fracPlaces, 1, kMaxDigits),
                     kAllDecimals);
  return ToDecimal(magnitude, kMaxDigits, s.fracPlaces);
}

// ---- Text to number ----

bool IsBlank(Char c) { return c == u' ' || c == u'\t'; }
bool IsDigit(Char c) { return c >= u'0' && c <= u'9'; }

locale_t NeutralLocale() {
  static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return loc;
}

bool ParseFloat(const String& s, Extended& value, const TFormatSettings& fs) {
  std::size_t i = 0, end = s.size();
  while (i < end && IsBlank(s[i])) ++i;
  while (end > i && IsBlank(s[end - 1])) --end;
  std::string c;
  if (i < end && (s[i] == u'+' || s[i] == u'-')) {
    if (s[i] == u'-') c.push_back('-');
    ++i;
  }
  bool digits = false;
  for (; i < end && IsDigit(s[i]); ++i, digits = true) c.push_back(static_cast<char>(s[i]));
  if (i < end && s[i] == fs.DecimalSeparator) {
    c.push_back('.');
    for (++i; i < end && IsDigit(s[i]); ++i, digits = true) c.push_back(static_cast<char>(s[i]));
  }
  if (!digits) return false;
  if (i < end && (s[i] == u'e' || s[i] == u'E')) {
    c.push_back('e');
    ++i;
    if (i < end && (s[i] == u'+' || s[i] == u'-')) c.push_back(static_cast<char>(s[i++]));
    if (i == end || !IsDigit(s[i])) return false;
    for (; i < end && IsDigit(s[i]); ++i) c.push_back(static_cast<char>(s[i]));
  }
  if (i != end) return false;
  locale_t loc = NeutralLocale();
  if (!loc) return false;
  char* stop = nullptr;
  errno = 0;
  Extended v = strtold_l(c.c_str(), &stop, loc);
  if (stop != c.c_str() + c.size() || std::isinf(v) || std::isnan(v)) return false;
  // ERANGE with a finite result is an underflow towards zero, which is accepted.
  value = v;
  return true;
}

template <typename T, typename U>
bool ParseInteger(const String& s, T& value) {
  std::size_t i = 0, n = s.size();
  while (i < n && IsBlank(s[i])) ++i;
  bool negative = false;
  if (i < n && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
  bool hex = false;
  if (i < n && s[i] == u'$') {
    hex = true;
    ++i;
  } else if (i + 1 < n && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
    hex = true;
    i += 2;
  }
  if (i == n) return false;
  U magnitude = 0;
  const U limit =
      hex ? static_cast<U>(-1) : static_cast<U>(std::numeric_limits<T>::max()) + (negative ? 1 : 0);
  const U base = hex ? 16 : 10;
  for (; i < n; ++i) {
    Char c = s[i];
    U digit;
    if (IsDigit(c)) digit = c - u'0';
    else if (hex && c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    else if (hex && c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    else return false;
    if (magnitude > (limit - digit) / base) return false;
    magnitude = magnitude * base + digit;
  }
  // Hex digits are the value's bits, so "$FFFFFFFF" is -1 as an int.
  if (negative) magnitude = static_cast<U>(0) - magnitude;
  value = static_cast<T>(magnitude);
  return true;
}

[[noreturn]] void InvalidFloat(const String& s) {
  throw EConvertError(u"'" + s + u"' is not a valid floating point value");
}
[[noreturn]] void InvalidInteger(const String& s) {
  throw EConvertError(u"'" + s + u"' is not a valid integer value");
}

// The int64 range as long doubles; both bounds are exact powers of two.
constexpr Extended kInt64Low = -9223372036854775808.0L;
constexpr Extended kInt64High = 9223372036854775808.0L;

std::int64_t ToInt64(Extended r) {
  if (!(r >= kInt64Low && r < kInt64High)) throw EInvalidOp("Invalid floating point operation");
  return static_cast<std::int64_t>(r);
}

}  // namespace

String FloatToStrF(Extended value, TFloatFormat format, int precision, int digits,
                   const TFormatSettings& fs) {
  switch (format) {
    case ffExponent: return FormatExponent(value, precision, digits, fs);
    case ffFixed: return FormatFixed(value, precision, digits, false, String(), fs);
    case ffNumber: return FormatFixed(value, precision, digits, true, String(), fs);
    case ffCurrency: return FormatFixed(value, precision, digits, true, u"$", fs);
    case ffGeneral:
    default:
      precision = std::clamp(precision, 1, kMaxDigits);
      return FormatGeneral(ToDecimal(value, precision, kAllDecimals), precision, digits, fs);
  }
}

String FloatToStrF(Extended value, TFloatFormat format, int precision, int digits) {
  return FloatToStrF(value, format, precision, digits, FormatSettings);
}

String FloatToStr(Extended value, const TFormatSettings& fs) {
  return FloatToStrF(value, ffGeneral, 15, 0, fs);
}
String FloatToStr(Extended value) { return FloatToStr(value, FormatSettings); }

String FormatFloat(const String& format, Extended value, const TFormatSettings& fs) {
  if (format.empty() || !std::isfinite(value)) return FloatToStr(value, fs);
  std::vector<String> texts = SplitSections(format);
  std::vector<Section> sections;
  for (const String& t : texts) sections.push_back(ParseSection(t));
  const Section* zeroSection = sections.size() > 2 && !sections[2].empty ? &sections[2] : nullptr;
  const Section& first = sections[0];

  // An empty first section stands for the general form, which shows zero as "0".
  auto zero = [&]() -> String {
    const Section& s = zeroSection ? *zeroSection : first;
    return s.empty ? String(u"0") : ApplySection(s, DecimalFor(s, 0), fs);
  };
  if (value == 0) return zero();
  bool negative = value < 0;
  const Section* chosen = &first;
  bool sign = negative;
  if (negative && sections.size() > 1 && !sections[1].empty) {
    chosen = &sections[1];
    sign = false;
  }
  if (chosen->empty) return FloatToStr(value, fs);
  Extended magnitude = std::fabs(value);
  FloatRec d = DecimalFor(*chosen, magnitude);
  if (!chosen->scientific && d.exponent > kMaxDigits) return FloatToStr(value, fs);
  // Shown as zero: no sign, and the zero section when there is one.
  if (d.IsZero()) return zero();
  String out = ApplySection(*chosen, d, fs);
  return sign ? u"-" + out : out;
}

String FormatFloat(const String& format, Extended value) {
  return FormatFloat(format, value, FormatSettings);
}

bool TryStrToFloat(const String& s, Extended& value, const TFormatSettings& fs) {
  return ParseFloat(s, value, fs);
}
bool TryStrToFloat(const String& s, Extended& value) {
  return ParseFloat(s, value, FormatSettings);
}

Extended StrToFloat(const String& s, const TFormatSettings& fs) {
  Extended v = 0;
  if (!ParseFloat(s, v, fs)) InvalidFloat(s);
  return v;
}
Extended StrToFloat(const String& s) { return StrToFloat(s, FormatSettings); }

Extended StrToFloatDef(const String& s, Extended def, const TFormatSettings& fs) {
  Extended v = 0;
  return ParseFloat(s, v, fs) ? v : def;
}
Extended StrToFloatDef(const String& s, Extended def) {
  return StrToFloatDef(s, def, FormatSettings);
}

bool TryStrToInt(const String& s, int& value) { return ParseInteger<int, std::uint32_t>(s, value); }
bool TryStrToInt64(const String& s, std::int64_t& value) {
  return ParseInteger<std::int64_t, std::uint64_t>(s, value);
}

int StrToInt(const String& s) {
  int v = 0;
  if (!TryStrToInt(s, v)) InvalidInteger(s);
  return v;
}
int StrToIntDef(const String& s, int def) {
  int v = 0;
  return TryStrToInt(s, v) ? v : def;
}
std::int64_t StrToInt64(const String& s) {
  std::int64_t v = 0;
  if (!TryStrToInt64(s, v)) InvalidInteger(s);
  return v;
}

std::int64_t Round(Extended value) {
  Extended r = std::round(value);  // exact; halves away from zero
  if (std::fabs(r - value) == 0.5L) r = 2 * std::round(value / 2);
  return ToInt64(r);
}

std::int64_t Trunc(Extended value) { return ToInt64(std::trunc(value)); }

Extended Int(Extended value) { return std::trunc(value); }

Extended Frac(Extended value) { return value - std::trunc(value); }
