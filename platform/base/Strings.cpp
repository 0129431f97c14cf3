#include "Strings.h"

#include <locale.h>

#include <cwctype>

namespace {
// Case mapping must not depend on the process locale.
locale_t UnicodeLocale() {
  static locale_t loc = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return l ? l : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
  }();
  return loc;
}
}  // namespace

String FromUtf8(std::string_view in) {
  String out;
  out.reserve(in.size());
  std::size_t i = 0;
  while (i < in.size()) {
    unsigned char c = static_cast<unsigned char>(in[i]);
    char32_t cp = 0xFFFD;
    std::size_t len = 1;
    if (c < 0x80) {
      cp = c;
    } else if ((c & 0xE0) == 0xC0) {
      len = 2;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
    }
    if (len > 1) {
      bool ok = i + len <= in.size();
      char32_t v = c & (0x7F >> len);
      for (std::size_t k = 1; ok && k < len; ++k) {
        unsigned char cc = static_cast<unsigned char>(in[i + k]);
        if ((cc & 0xC0) != 0x80) ok = false;
        v = (v << 6) | (cc & 0x3F);
      }
      // Malformed, overlong or surrogate sequences become one replacement character.
      static const char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
      if (ok && v >= kMin[len] && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF)) {
        cp = v;
      } else {
        len = 1;
      }
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<Char>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<Char>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<Char>(cp));
    }
    i += len;
  }
  return out;
}

std::string ToUtf8(const String& s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

int Pos(const String& sub, const String& s) {
  if (sub.empty()) return 0;
  auto p = s.find(sub);
  return p == String::npos ? 0 : static_cast<int>(p) + 1;
}

String Copy(const String& s, int index, int count) {
  if (index < 1) index = 1;
  if (count <= 0 || static_cast<std::size_t>(index) > s.size()) return String();
  return s.substr(static_cast<std::size_t>(index) - 1, static_cast<std::size_t>(count));
}

String TrimLeft(const String& s) {
  std::size_t b = 0;
  while (b < s.size() && s[b] <= u' ') ++b;
  return s.substr(b);
}

String TrimRight(const String& s) {
  std::size_t e = s.size();
  while (e > 0 && s[e - 1] <= u' ') --e;
  return s.substr(0, e);
}

String Trim(const String& s) { return TrimLeft(TrimRight(s)); }

String UpperCase(const String& s) {
  String r = s;
  for (auto& c : r)
    if (c >= u'a' && c <= u'z') c = static_cast<Char>(c - 32);
  return r;
}

String LowerCase(const String& s) {
  String r = s;
  for (auto& c : r)
    if (c >= u'A' && c <= u'Z') c = static_cast<Char>(c + 32);
  return r;
}

String AnsiUpperCase(const String& s) {
  String r = s;
  for (auto& c : r)
    if (c < 0xD800 || c > 0xDFFF)
      c = static_cast<Char>(towupper_l(static_cast<wint_t>(c), UnicodeLocale()));
  return r;
}

String AnsiLowerCase(const String& s) {
  String r = s;
  for (auto& c : r)
    if (c < 0xD800 || c > 0xDFFF)
      c = static_cast<Char>(towlower_l(static_cast<wint_t>(c), UnicodeLocale()));
  return r;
}

int CompareText(const String& a, const String& b) {
  String ua = UpperCase(a), ub = UpperCase(b);
  return ua.compare(ub);
}

bool SameText(const String& a, const String& b) { return CompareText(a, b) == 0; }

String IntToStr(std::int64_t v) { return FromUtf8(std::to_string(v)); }

String IntToHex(std::uint64_t v, int digits) {
  static const char* kHex = "0123456789ABCDEF";
  String r;
  do {
    r.insert(r.begin(), static_cast<Char>(kHex[v & 15]));
    v >>= 4;
  } while (v != 0);
  while (static_cast<int>(r.size()) < digits) r.insert(r.begin(), u'0');
  return r;
}

int HexDigitValue(Char c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

String Format(const String& fmt, std::initializer_list<FormatArg> args) {
  String out;
  auto it = args.begin();
  auto next = [&]() -> const FormatArg* { return it == args.end() ? nullptr : &*it++; };
  for (std::size_t i = 0; i < fmt.size(); ++i) {
    Char c = fmt[i];
    if (c != u'%' || i + 1 >= fmt.size()) {
      out.push_back(c);
      continue;
    }
    Char k = fmt[++i];
    if (k == u'%') {
      out.push_back(u'%');
      continue;
    }
    const FormatArg* a = next();
    if (!a) continue;
    if (auto* s = std::get_if<String>(a)) {
      out += *s;
    } else if (auto* n = std::get_if<std::int64_t>(a)) {
      out += (k == u'x' || k == u'X') ? IntToHex(static_cast<std::uint64_t>(*n), 0) : IntToStr(*n);
    } else if (auto* f = std::get_if<long double>(a)) {
      out += FromUtf8(std::to_string(static_cast<double>(*f)));
    }
  }
  return out;
}
