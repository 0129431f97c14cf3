#include "IniDocument.h"

#include <algorithm>
#include <unordered_set>

namespace korv_ini {

namespace {

// Windows-1252 0x80..0x9F. The five bytes the code page leaves undefined map to the C1
// controls of the same value, so every byte survives a read and a write.
constexpr char16_t kHigh1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() && bytes.substr(0, prefix.size()) == prefix;
}

// The length of the UTF-8 sequence at s[i] with its code point, or 0 when it is not one.
// Strict: no overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t Utf8Sequence(std::string_view s, std::size_t i, char32_t& cp) {
  auto c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  std::size_t len;
  if (c >= 0xC2 && c <= 0xDF) len = 2, cp = c & 0x1F;
  else if (c >= 0xE0 && c <= 0xEF) len = 3, cp = c & 0x0F;
  else if (c >= 0xF0 && c <= 0xF4) len = 4, cp = c & 0x07;
  else return 0;
  if (s.size() - i < len) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    auto cc = static_cast<unsigned char>(s[i + k]);
    if ((cc & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (cc & 0x3F);
  }
  if ((len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return len;
}

bool IsValidUtf8(std::string_view s) {
  char32_t cp;
  for (std::size_t i = 0, len; i < s.size(); i += len)
    if (!(len = Utf8Sequence(s, i, cp))) return false;
  return true;
}

// A byte that is not UTF-8, in a file marked as UTF-8, is held as the lone low surrogate
// U+DC80..U+DCFF and written back as that byte, so lines nobody writes keep their bytes.
constexpr Char kByteEscape = 0xDC00;

bool IsByteEscape(const String& text, std::size_t i) {
  return text[i] >= 0xDC80 && text[i] <= 0xDCFF &&
         !(i > 0 && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF);
}

String DecodeUtf8KeepingBytes(std::string_view bytes) {
  String out;
  out.reserve(bytes.size());
  char32_t cp;
  for (std::size_t i = 0, len; i < bytes.size(); i += len) {
    if (!(len = Utf8Sequence(bytes, i, cp))) {
      out.push_back(static_cast<Char>(kByteEscape | static_cast<unsigned char>(bytes[i])));
      len = 1;
    } else if (cp >= 0x10000) {
      out.push_back(static_cast<Char>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<Char>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<Char>(cp));
    }
  }
  return out;
}

void AppendUtf8KeepingBytes(const String& text, std::string& out) {
  std::size_t run = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsByteEscape(text, i)) continue;
    out += ToUtf8(text.substr(run, i - run));
    out.push_back(static_cast<char>(text[i] & 0xFF));
    run = i + 1;
  }
  out += ToUtf8(text.substr(run));
}

// What a reader is given for a held byte: the replacement character, as for any bad byte.
String Readable(String text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (IsByteEscape(text, i)) text[i] = 0xFFFD;
  return text;
}

String DecodeUtf16(std::string_view bytes, bool bigEndian) {
  String out;
  // A last odd byte is half a character; DecodeText hands it back apart.
  out.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto a = static_cast<unsigned char>(bytes[i]);
    auto b = static_cast<unsigned char>(bytes[i + 1]);
    out.push_back(static_cast<Char>(bigEndian ? (a << 8) | b : (b << 8) | a));
  }
  return out;
}

String Decode1252(std::string_view bytes) {
  String out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    auto c = static_cast<unsigned char>(ch);
    out.push_back(c >= 0x80 && c <= 0x9F ? kHigh1252[c - 0x80] : static_cast<Char>(c));
  }
  return out;
}

bool Encode1252(const String& text, std::string& out) {
  out.reserve(text.size());
  for (Char c : text) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    const Char* hit = std::find(std::begin(kHigh1252), std::end(kHigh1252), c);
    if (hit == std::end(kHigh1252)) return false;
    out.push_back(static_cast<char>(0x80 + (hit - std::begin(kHigh1252))));
  }
  return true;
}

void AppendUtf16(const String& text, bool bigEndian, std::string& out) {
  out.reserve(out.size() + text.size() * 2);
  for (Char c : text) {
    char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
    if (bigEndian) out += {hi, lo};
    else out += {lo, hi};
  }
}

bool IsBlankText(const String& s) {
  return std::all_of(s.begin(), s.end(), [](Char c) { return c <= u' '; });
}

const String kCrLf = u"\r\n";

}  // namespace

TextEncoding DetectEncoding(std::string_view bytes) {
  if (StartsWith(bytes, "\xFF\xFE")) return TextEncoding::Utf16LE;
  if (StartsWith(bytes, "\xFE\xFF")) return TextEncoding::Utf16BE;
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return TextEncoding::Utf8Bom;
  // Without a mark, UTF-16 shows in its zero bytes: INI text is mostly ASCII, whose characters
  // have a zero byte in the odd places (little-endian) or the even ones (big-endian), while
  // UTF-8 and single-byte text have none. At least half the characters must say so, so a few
  // stray zero bytes in other text do not turn it into UTF-16.
  std::size_t zeroEven = 0, zeroOdd = 0;
  const std::size_t pairs = bytes.size() / 2;
  for (std::size_t i = 0; i < pairs * 2; ++i)
    if (bytes[i] == 0) ++(i % 2 ? zeroOdd : zeroEven);
  if (zeroOdd * 2 >= pairs && zeroOdd > 0 && zeroOdd >= 4 * zeroEven)
    return TextEncoding::Utf16LENoMark;
  if (zeroEven * 2 >= pairs && zeroEven > 0 && zeroEven >= 4 * zeroOdd)
    return TextEncoding::Utf16BENoMark;
  return IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

bool IsUtf16(TextEncoding encoding) {
  return encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE ||
         encoding == TextEncoding::Utf16LENoMark || encoding == TextEncoding::Utf16BENoMark;
}

String DecodeText(std::string_view bytes, TextEncoding& encoding, std::string* tail) {
  encoding = DetectEncoding(bytes);
  if (tail) tail->clear();
  if (IsUtf16(encoding) && bytes.size() % 2 && tail) *tail = bytes.substr(bytes.size() - 1);
  switch (encoding) {
    case TextEncoding::Utf16LE: return DecodeUtf16(bytes.substr(2), false);
    case TextEncoding::Utf16BE: return DecodeUtf16(bytes.substr(2), true);
    case TextEncoding::Utf16LENoMark: return DecodeUtf16(bytes, false);
    case TextEncoding::Utf16BENoMark: return DecodeUtf16(bytes, true);
    case TextEncoding::Utf8Bom: return DecodeUtf8KeepingBytes(bytes.substr(3));
    case TextEncoding::Utf8: return FromUtf8(bytes);
    case TextEncoding::Windows1252: break;
  }
  return Decode1252(bytes);
}

bool EncodeText(const String& text, TextEncoding encoding, std::string& bytes,
                std::string_view tail) {
  bytes.clear();
  switch (encoding) {
    case TextEncoding::Utf8: bytes = ToUtf8(text); break;
    case TextEncoding::Utf8Bom:
      bytes = "\xEF\xBB\xBF";
      AppendUtf8KeepingBytes(text, bytes);
      break;
    case TextEncoding::Utf16LE:
      bytes = "\xFF\xFE";
      AppendUtf16(text, false, bytes);
      break;
    case TextEncoding::Utf16BE:
      bytes = "\xFE\xFF";
      AppendUtf16(text, true, bytes);
      break;
    case TextEncoding::Utf16LENoMark: AppendUtf16(text, false, bytes); break;
    case TextEncoding::Utf16BENoMark: AppendUtf16(text, true, bytes); break;
    case TextEncoding::Windows1252:
      if (!Encode1252(text, bytes)) return false;
      break;
  }
  bytes += tail;
  return true;
}

String FoldName(const String& name) { return AnsiUpperCase(Trim(name)); }

String CookValue(const String& raw) {
  String v = Trim(raw);
  if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

Document::Document(const String& text) {
  std::vector<Line> lines;
  std::size_t start = 0;
  const std::size_t n = text.size();
  while (start < n) {
    std::size_t e = start;
    while (e < n && text[e] != u'\r' && text[e] != u'\n') ++e;
    std::size_t brk = e;
    if (e < n) e += (text[e] == u'\r' && e + 1 < n && text[e + 1] == u'\n') ? 2 : 1;
    lines.push_back(Line{text.substr(start, brk - start), text.substr(brk, e - brk)});
    start = e;
  }
  SetLines(std::move(lines));
}

void Document::SetLines(std::vector<Line> lines) {
  lines_ = std::move(lines);
  info_.clear();
  info_.reserve(lines_.size());
  newLine_.clear();
  for (const Line& line : lines_) {
    info_.push_back(Classify(line.text));
    if (newLine_.empty()) newLine_ = line.lineBreak;
  }
}

Document::Info Document::Classify(const String& text) {
  Info info;
  std::size_t b = 0, e = text.size();
  while (b < e && text[b] <= u' ') ++b;
  while (e > b && text[e - 1] <= u' ') --e;
  if (b == e || text[b] == u';') return info;
  if (text[b] == u'[') {
    // The last "]" closes the name, so names holding "]" read back whole.
    std::size_t close = text.rfind(u']', e - 1);
    if (close != String::npos && close > b) {
      info.kind = Kind::Section;
      info.name = Readable(Trim(text.substr(b + 1, close - b - 1)));
      info.folded = AnsiUpperCase(info.name);
      return info;
    }
  }
  std::size_t eq = text.find(u'=', b);
  if (eq != String::npos && eq < e) {
    info.kind = Kind::Key;
    info.name = Readable(Trim(text.substr(b, eq - b)));
    info.folded = AnsiUpperCase(info.name);
    info.valueStart = eq + 1;
  }
  return info;
}

String Document::Serialize(bool forceCrLf) const {
  String out;
  std::size_t total = 0;
  for (const Line& line : lines_) total += line.text.size() + 2;
  out.reserve(total);
  for (const Line& line : lines_) {
    out += line.text;
    out += forceCrLf ? kCrLf : line.lineBreak;
  }
  return out;
}

const String& Document::NewLine() const { return newLine_.empty() ? kCrLf : newLine_; }

std::size_t Document::FindSection(const String& folded) const {
  for (std::size_t i = 0; i < info_.size(); ++i)
    if (info_[i].kind == Kind::Section && info_[i].folded == folded) return i;
  return String::npos;
}

std::size_t Document::SectionEnd(std::size_t header) const {
  std::size_t j = header + 1;
  while (j < info_.size() && info_[j].kind != Kind::Section) ++j;
  return j;
}

std::size_t Document::FindKey(std::size_t header, const String& folded) const {
  const std::size_t end = SectionEnd(header);
  for (std::size_t j = header + 1; j < end; ++j)
    if (info_[j].kind == Kind::Key && info_[j].folded == folded) return j;
  return String::npos;
}

bool Document::HasSection(const String& section) const {
  return FindSection(FoldName(section)) != String::npos;
}

bool Document::FindValue(const String& section, const String& ident, String& raw) const {
  std::size_t h = FindSection(FoldName(section));
  if (h == String::npos) return false;
  std::size_t k = FindKey(h, FoldName(ident));
  if (k == String::npos) return false;
  raw = Readable(lines_[k].text.substr(info_[k].valueStart));
  return true;
}

std::vector<String> Document::SectionNames() const {
  std::vector<String> names;
  std::unordered_set<String> seen;
  for (const Info& info : info_)
    if (info.kind == Kind::Section && seen.insert(info.folded).second) names.push_back(info.name);
  return names;
}

std::vector<String> Document::KeyNames(const String& section) const {
  std::vector<String> names;
  std::size_t h = FindSection(FoldName(section));
  if (h == String::npos) return names;
  std::unordered_set<String> seen;
  const std::size_t end = SectionEnd(h);
  for (std::size_t j = h + 1; j < end; ++j)
    if (info_[j].kind == Kind::Key && !info_[j].name.empty() && seen.insert(info_[j].folded).second)
      names.push_back(info_[j].name);
  return names;
}

void Document::InsertLine(std::size_t at, const String& text) {
  if (at > 0 && lines_[at - 1].lineBreak.empty()) lines_[at - 1].lineBreak = NewLine();
  const String brk = NewLine();
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{text, brk});
  info_.insert(info_.begin() + static_cast<std::ptrdiff_t>(at), Classify(text));
  if (newLine_.empty()) newLine_ = brk;
}

namespace {
// A line break inside a name or value would split the line and could forge sections.
String OneLine(const String& s) {
  String r = s;
  std::replace(r.begin(), r.end(), u'\r', u' ');
  std::replace(r.begin(), r.end(), u'\n', u' ');
  return r;
}
}  // namespace

bool Document::Set(const String& section, const String& ident, const String& value) {
  const String sec = Trim(OneLine(section));
  const String key = Trim(OneLine(ident));
  const String val = OneLine(value);
  std::size_t h = FindSection(AnsiUpperCase(sec));
  if (h == String::npos) {
    std::size_t at = lines_.size();
    InsertLine(at, u"[" + sec + u"]");
    InsertLine(at + 1, key + u"=" + val);
    return true;
  }
  std::size_t k = FindKey(h, AnsiUpperCase(key));
  if (k != String::npos) {
    // The blanks after "=" stay, so "k = old" becomes "k = new".
    const String& line = lines_[k].text;
    std::size_t keep = info_[k].valueStart;
    while (keep < line.size() && (line[keep] == u' ' || line[keep] == u'\t')) ++keep;
    if (keep == line.size()) keep = info_[k].valueStart;
    String text = line.substr(0, keep) + val;
    if (text == lines_[k].text) return false;
    lines_[k].text = std::move(text);
    return true;
  }
  // After the section's last non-blank line, so blank lines keep separating sections.
  std::size_t at = SectionEnd(h);
  while (at > h + 1 && IsBlankText(lines_[at - 1].text)) --at;
  InsertLine(at, key + u"=" + val);
  return true;
}

bool Document::EraseSection(const String& section) {
  const String folded = FoldName(section);
  bool changed = false;
  std::size_t i = 0;
  while (i < info_.size()) {
    if (info_[i].kind == Kind::Section && info_[i].folded == folded) {
      std::size_t end = SectionEnd(i);
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i),
                   lines_.begin() + static_cast<std::ptrdiff_t>(end));
      info_.erase(info_.begin() + static_cast<std::ptrdiff_t>(i),
                  info_.begin() + static_cast<std::ptrdiff_t>(end));
      changed = true;
    } else {
      ++i;
    }
  }
  return changed;
}

bool Document::DeleteKey(const String& section, const String& ident) {
  std::size_t h = FindSection(FoldName(section));
  if (h == String::npos) return false;
  const String folded = FoldName(ident);
  bool changed = false;
  std::size_t k;
  while ((k = FindKey(h, folded)) != String::npos) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(k));
    info_.erase(info_.begin() + static_cast<std::ptrdiff_t>(k));
    changed = true;
  }
  return changed;
}

}  // namespace korv_ini
