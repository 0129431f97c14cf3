#include "FormDescriptions.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>

EDescriptionError::EDescriptionError(const String& fileName, int line, const String& detail)
    : EReadError(Format(u"%s(%d): %s", {fileName, std::int64_t{line}, detail})),
      fileName_(fileName),
      line_(line),
      detail_(detail) {}

// ---- Values ------------------------------------------------------------------------------

TDescriptionValue TDescriptionValue::Integer(std::int64_t v, int line) {
  TDescriptionValue r;
  r.Line = line;
  r.Int = v;
  if (v >= INT8_MIN && v <= INT8_MAX) {
    r.Type = vaInt8;
  } else if (v >= INT16_MIN && v <= INT16_MAX) {
    r.Type = vaInt16;
  } else if (v >= INT32_MIN && v <= INT32_MAX) {
    r.Type = vaInt32;
  } else {
    r.Type = vaInt64;
  }
  return r;
}

TDescriptionValue TDescriptionValue::FloatValue(Extended v, TValueType type, int line) {
  TDescriptionValue r;
  r.Type = type;
  r.Float = v;
  r.Line = line;
  return r;
}

TDescriptionValue TDescriptionValue::StringValue(const String& s, int line) {
  TDescriptionValue r;
  r.Line = line;
  r.Text = s;
  bool narrow = true;
  for (Char c : s)
    if (c > 0xFF) narrow = false;
  r.Type = !narrow ? vaWString : s.size() <= 255 ? vaString : vaLString;
  return r;
}

TDescriptionValue TDescriptionValue::Ident(const String& s, int line) {
  TDescriptionValue r;
  r.Line = line;
  r.Text = s;
  if (SameText(s, u"True")) {
    r.Type = vaTrue;
  } else if (SameText(s, u"False")) {
    r.Type = vaFalse;
  } else if (SameText(s, u"nil")) {
    r.Type = vaNil;
  } else {
    r.Type = vaIdent;
  }
  return r;
}

bool TDescriptionValue::IsInteger() const {
  return Type == vaInt8 || Type == vaInt16 || Type == vaInt32 || Type == vaInt64;
}
bool TDescriptionValue::IsFloat() const {
  return Type == vaExtended || Type == vaSingle || Type == vaCurrency || Type == vaDate ||
         Type == vaDouble;
}
bool TDescriptionValue::IsString() const {
  return Type == vaString || Type == vaLString || Type == vaWString || Type == vaUTF8String;
}
bool TDescriptionValue::IsIdent() const {
  return Type == vaIdent || Type == vaTrue || Type == vaFalse || Type == vaNil || Type == vaNull;
}

// ---- Tokens ------------------------------------------------------------------------------

namespace {

constexpr int kMaxDepth = 200;

enum class Tok { End, Ident, Integer, Float, String, Binary, Symbol };

struct Token {
  Tok kind = Tok::End;
  int line = 1;
  String text;  // identifiers, decoded strings
  Char symbol = 0;
  std::int64_t integer = 0;
  Extended real = 0;
  TValueType floatType = vaExtended;
  std::vector<std::uint8_t> bytes;
};

bool IsAlpha(Char c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; }
bool IsDigit(Char c) { return c >= u'0' && c <= u'9'; }
int HexValue(Char c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

class Lexer {
 public:
  Lexer(const String& text, const String& fileName) : s_(text), file_(fileName) {}

  [[noreturn]] void Fail(int line, const String& detail) const {
    throw EDescriptionError(file_, line, detail);
  }

  Token Next() {
    SkipBlanks();
    Token t;
    t.line = line_;
    if (p_ >= s_.size()) {
      // The end is reported on the last line that holds anything.
      t.line = lastLine_;
      return t;
    }
    Char c = s_[p_];
    if (IsAlpha(c)) {
      std::size_t start = p_;
      while (p_ < s_.size() && (IsAlpha(s_[p_]) || IsDigit(s_[p_]))) ++p_;
      t.kind = Tok::Ident;
      t.text = s_.substr(start, p_ - start);
    } else if (IsDigit(c) || (c == u'-' && p_ + 1 < s_.size() && IsDigit(s_[p_ + 1]))) {
      Number(t);
    } else if (c == u'$') {
      Hex(t);
    } else if (c == u'\'' || c == u'#') {
      StringToken(t);
    } else if (c == u'{') {
      BinaryToken(t);
    } else {
      ++p_;
      t.kind = Tok::Symbol;
      t.symbol = c;
    }
    lastLine_ = line_;
    return t;
  }

  int Line() const { return line_; }

 private:
  void SkipBlanks() {
    while (p_ < s_.size() && s_[p_] <= u' ') {
      if (s_[p_] == u'\n') ++line_;
      ++p_;
    }
  }

  void Number(Token& t) {
    std::size_t start = p_;
    if (s_[p_] == u'-') ++p_;
    while (p_ < s_.size() && IsDigit(s_[p_])) ++p_;
    bool isFloat = false;
    if (p_ + 1 < s_.size() && s_[p_] == u'.' && IsDigit(s_[p_ + 1])) {
      isFloat = true;
      ++p_;
      while (p_ < s_.size() && IsDigit(s_[p_])) ++p_;
    }
    if (p_ < s_.size() && (s_[p_] == u'e' || s_[p_] == u'E')) {
      std::size_t q = p_ + 1;
      if (q < s_.size() && (s_[q] == u'+' || s_[q] == u'-')) ++q;
      if (q < s_.size() && IsDigit(s_[q])) {
        isFloat = true;
        p_ = q;
        while (p_ < s_.size() && IsDigit(s_[p_])) ++p_;
      }
    }
    std::string narrow;
    for (std::size_t i = start; i < p_; ++i) narrow += static_cast<char>(s_[i]);
    if (!isFloat) {
      std::int64_t v = 0;
      auto r = std::from_chars(narrow.data(), narrow.data() + narrow.size(), v);
      if (r.ec != std::errc() || r.ptr != narrow.data() + narrow.size())
        Fail(line_, Format(u"Invalid integer value %s", {FromUtf8(narrow)}));
      t.kind = Tok::Integer;
      t.integer = v;
    } else {
      long double v = 0;
      auto r = std::from_chars(narrow.data(), narrow.data() + narrow.size(), v);
      if (r.ec != std::errc() || r.ptr != narrow.data() + narrow.size() || !std::isfinite(v))
        Fail(line_, Format(u"Invalid floating point value %s", {FromUtf8(narrow)}));
      t.kind = Tok::Float;
      t.real = v;
      t.floatType = vaExtended;
      if (p_ < s_.size()) {
        Char suffix = s_[p_];
        if (suffix == u's' || suffix == u'S') t.floatType = vaSingle;
        if (suffix == u'c' || suffix == u'C') t.floatType = vaCurrency;
        if (suffix == u'd' || suffix == u'D') t.floatType = vaDate;
        if (t.floatType != vaExtended) ++p_;
      }
    }
    if (p_ < s_.size() && (IsAlpha(s_[p_]) || IsDigit(s_[p_]))) Fail(line_, u"Invalid number");
  }

  void Hex(Token& t) {
    ++p_;
    std::size_t start = p_;
    std::uint64_t v = 0;
    while (p_ < s_.size() && HexValue(s_[p_]) >= 0) {
      if (p_ - start >= 16) Fail(line_, u"Invalid integer value");
      v = (v << 4) | static_cast<std::uint64_t>(HexValue(s_[p_]));
      ++p_;
    }
    if (p_ == start || (p_ < s_.size() && (IsAlpha(s_[p_]) || IsDigit(s_[p_]))))
      Fail(line_, u"Invalid integer value");
    t.kind = Tok::Integer;
    // Up to eight digits are a 32-bit pattern, as integer literals are ($FFFFFFFF is -1).
    t.integer = p_ - start <= 8 ? static_cast<std::int32_t>(static_cast<std::uint32_t>(v))
                                : static_cast<std::int64_t>(v);
  }

  void StringToken(Token& t) {
    t.kind = Tok::String;
    while (p_ < s_.size()) {
      if (s_[p_] == u'\'') {
        ++p_;
        for (;;) {
          if (p_ >= s_.size() || s_[p_] == u'\n' || s_[p_] == u'\r')
            Fail(line_, u"Unterminated string");
          if (s_[p_] == u'\'') {
            if (p_ + 1 < s_.size() && s_[p_ + 1] == u'\'') {
              t.text += u'\'';
              p_ += 2;
              continue;
            }
            ++p_;
            break;
          }
          t.text += s_[p_++];
        }
      } else if (s_[p_] == u'#') {
        ++p_;
        std::uint32_t code = 0;
        std::size_t start = p_;
        if (p_ < s_.size() && s_[p_] == u'$') {
          ++p_;
          start = p_;
          while (p_ < s_.size() && HexValue(s_[p_]) >= 0 && code <= 0x10FFFF)
            code = code * 16 + static_cast<std::uint32_t>(HexValue(s_[p_++]));
        } else {
          while (p_ < s_.size() && IsDigit(s_[p_]) && code <= 0x10FFFF)
            code = code * 10 + static_cast<std::uint32_t>(s_[p_++] - u'0');
        }
        if (p_ == start || code > 0x10FFFF) Fail(line_, u"Invalid character code");
        if (code > 0xFFFF) {
          code -= 0x10000;
          t.text += static_cast<Char>(0xD800 + (code >> 10));
          t.text += static_cast<Char>(0xDC00 + (code & 0x3FF));
        } else {
          t.text += static_cast<Char>(code);
        }
      } else {
        break;
      }
    }
  }

  void BinaryToken(Token& t) {
    int startLine = line_;
    ++p_;
    t.kind = Tok::Binary;
    int high = -1;
    for (;;) {
      if (p_ >= s_.size()) Fail(startLine, u"Unexpected end of file in binary value");
      Char c = s_[p_++];
      if (c == u'}') break;
      if (c == u'\n') ++line_;
      if (c <= u' ') continue;
      int h = HexValue(c);
      if (h < 0) Fail(line_, u"Invalid binary value");
      if (high < 0) {
        high = h;
      } else {
        t.bytes.push_back(static_cast<std::uint8_t>(high * 16 + h));
        high = -1;
      }
    }
    if (high >= 0) Fail(line_, u"Invalid binary value");
  }

  const String& s_;
  const String& file_;
  std::size_t p_ = 0;
  int line_ = 1;
  int lastLine_ = 1;
};

class Parser {
 public:
  Parser(const String& text, const String& fileName) : lex_(text, fileName) { Advance(); }

  TDescriptionObject ParseRoot() {
    TDescriptionObject root;
    if (!IsBlockKeyword(tok_))
      Fail(tok_.kind == Tok::End ? u"Unexpected end of file: object expected" : u"object expected");
    ParseObject(root, 0);
    if (tok_.kind != Tok::End) Fail(u"End of file expected");
    return root;
  }

 private:
  [[noreturn]] void Fail(const String& detail) const { lex_.Fail(tok_.line, detail); }
  [[noreturn]] void Expected(const String& what) const {
    if (tok_.kind == Tok::End) Fail(Format(u"Unexpected end of file: %s expected", {what}));
    Fail(Format(u"%s expected", {what}));
  }

  void Advance() {
    if (havePeek_) {
      tok_ = std::move(next_);
      havePeek_ = false;
    } else {
      tok_ = lex_.Next();
    }
  }
  const Token& Peek() {
    if (!havePeek_) {
      next_ = lex_.Next();
      havePeek_ = true;
    }
    return next_;
  }
  bool IsSymbol(Char c) const { return tok_.kind == Tok::Symbol && tok_.symbol == c; }
  bool IsWord(const char16_t* w) const { return tok_.kind == Tok::Ident && SameText(tok_.text, w); }
  bool IsBlockKeyword(const Token& t) {
    return t.kind == Tok::Ident && (SameText(t.text, u"object") || SameText(t.text, u"inherited") ||
                                    SameText(t.text, u"inline"));
  }
  void ExpectSymbol(Char c) {
    if (!IsSymbol(c)) Expected(Format(u"'%s'", {String(1, c)}));
    Advance();
  }
  String Ident() {
    if (tok_.kind != Tok::Ident) Expected(u"Identifier");
    String s = tok_.text;
    Advance();
    return s;
  }
  String DottedIdent() {
    String s = Ident();
    while (IsSymbol(u'.')) {
      Advance();
      s += u'.';
      s += Ident();
    }
    return s;
  }
  void Deeper(int depth) const {
    if (depth > kMaxDepth) Fail(u"Description nested too deeply");
  }

  void ParseObject(TDescriptionObject& obj, int depth) {
    Deeper(depth);
    obj.Line = tok_.line;
    obj.Block = SameText(tok_.text, u"object")      ? TDescriptionBlock::Object
                : SameText(tok_.text, u"inherited") ? TDescriptionBlock::Inherited
                                                    : TDescriptionBlock::Inline;
    Advance();
    String first = Ident();
    if (IsSymbol(u':')) {
      Advance();
      obj.Name = first;
      obj.ClassName = Ident();
    } else {
      obj.ClassName = first;
    }
    if (IsSymbol(u'[')) {
      Advance();
      if (tok_.kind != Tok::Integer || tok_.integer < 0 || tok_.integer > INT32_MAX)
        Expected(u"Child position");
      obj.ChildPos = static_cast<int>(tok_.integer);
      Advance();
      ExpectSymbol(u']');
    }
    for (;;) {
      if (tok_.kind == Tok::End) Expected(u"'end'");
      if (IsWord(u"end")) {
        obj.EndLine = tok_.line;
        Advance();
        return;
      }
      if (IsBlockKeyword(tok_) && !(Peek().kind == Tok::Symbol && Peek().symbol == u'=')) {
        obj.Children.emplace_back();
        ParseObject(obj.Children.back(), depth + 1);
        continue;
      }
      obj.Properties.push_back(ParseProperty(depth));
    }
  }

  TDescriptionProperty ParseProperty(int depth) {
    TDescriptionProperty p;
    p.Line = tok_.line;
    if (tok_.kind != Tok::Ident) Expected(u"Property name");
    p.Name = DottedIdent();
    ExpectSymbol(u'=');
    p.Value = ParseValue(depth + 1);
    return p;
  }

  TDescriptionValue ParseValue(int depth) {
    Deeper(depth);
    TDescriptionValue v;
    v.Line = tok_.line;
    switch (tok_.kind) {
      case Tok::End: Expected(u"Value");
      case Tok::Integer:
        v = TDescriptionValue::Integer(tok_.integer, tok_.line);
        Advance();
        return v;
      case Tok::Float:
        v = TDescriptionValue::FloatValue(tok_.real, tok_.floatType, tok_.line);
        Advance();
        return v;
      case Tok::String: {
        String s = tok_.text;
        Advance();
        while (IsSymbol(u'+')) {
          Advance();
          if (tok_.kind != Tok::String) Expected(u"String");
          s += tok_.text;
          Advance();
        }
        TDescriptionValue r = TDescriptionValue::StringValue(s, v.Line);
        return r;
      }
      case Tok::Ident: {
        // A reserved word cannot be a value: the value is missing.
        if (IsWord(u"end") || IsWord(u"object") || IsWord(u"item")) Expected(u"Value");
        int line = tok_.line;
        return TDescriptionValue::Ident(DottedIdent(), line);
      }
      case Tok::Binary:
        v.Type = vaBinary;
        v.Bytes = std::move(tok_.bytes);
        Advance();
        return v;
      case Tok::Symbol: break;
    }
    if (IsSymbol(u'[')) {
      v.Type = vaSet;
      Advance();
      if (!IsSymbol(u']')) {
        for (;;) {
          v.Elements.push_back(Ident());
          if (IsSymbol(u']')) break;
          ExpectSymbol(u',');
        }
      }
      Advance();
      return v;
    }
    if (IsSymbol(u'(')) {
      v.Type = vaList;
      Advance();
      while (!IsSymbol(u')')) v.Items.push_back(ParseValue(depth + 1));
      Advance();
      return v;
    }
    if (IsSymbol(u'<')) {
      v.Type = vaCollection;
      Advance();
      while (!IsSymbol(u'>')) {
        if (!IsWord(u"item")) Expected(u"'item'");
        TDescriptionItem item;
        item.Line = tok_.line;
        Advance();
        if (IsSymbol(u'[')) {
          Advance();
          if (tok_.kind != Tok::Integer) Expected(u"Number");
          item.HasOrder = true;
          item.Order = tok_.integer;
          Advance();
          ExpectSymbol(u']');
        }
        while (!IsWord(u"end")) {
          if (tok_.kind == Tok::End) Expected(u"'end'");
          item.Properties.push_back(ParseProperty(depth + 1));
        }
        Advance();
        v.Collection.push_back(std::move(item));
      }
      Advance();
      return v;
    }
    Fail(Format(u"Invalid property value '%s'", {String(1, tok_.symbol)}));
  }

  Lexer lex_;
  Token tok_;
  Token next_;
  bool havePeek_ = false;
};

}  // namespace

TFormDescription ParseFormDescription(const String& text, const String& fileName) {
  TFormDescription d;
  d.FileName = fileName;
  Parser parser(text, fileName);
  d.Root = parser.ParseRoot();
  return d;
}

TFormDescription ParseFormDescription(std::string_view utf8, const String& fileName) {
  // A byte-order mark is not part of the text.
  if (utf8.size() >= 3 && std::memcmp(utf8.data(), "\xEF\xBB\xBF", 3) == 0) utf8.remove_prefix(3);
  return ParseFormDescription(FromUtf8(utf8), fileName);
}

// ---- Text form ---------------------------------------------------------------------------

namespace {

constexpr std::size_t kStringChunk = 64;
constexpr std::size_t kBinaryLine = 32;

String Indent(int level) { return String(static_cast<std::size_t>(level) * 2, u' '); }

bool IsSurrogate(Char c) { return c >= 0xD800 && c <= 0xDFFF; }

// One part of a string: quoted runs, control characters and lone surrogates as #n.
String QuotePart(const String& s, std::size_t from, std::size_t to) {
  String out;
  bool open = false;
  for (std::size_t i = from; i < to; ++i) {
    Char c = s[i];
    bool pair =
        c >= 0xD800 && c <= 0xDBFF && i + 1 < to && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF;
    if (c < u' ' || (IsSurrogate(c) && !pair)) {
      if (open) out += u'\'';
      open = false;
      out += u'#' + IntToStr(c);
      continue;
    }
    if (!open) out += u'\'';
    open = true;
    if (c == u'\'') out += u'\'';
    out += c;
    if (pair) out += s[++i];
  }
  if (open) out += u'\'';
  if (out.empty()) out = u"''";
  return out;
}

std::vector<String> StringParts(const String& s) {
  std::vector<String> parts;
  std::size_t i = 0;
  do {
    std::size_t end = std::min(s.size(), i + kStringChunk);
    // Never split a surrogate pair.
    if (end < s.size() && end > i + 1 && s[end - 1] >= 0xD800 && s[end - 1] <= 0xDBFF) --end;
    parts.push_back(QuotePart(s, i, end));
    i = end;
  } while (i < s.size());
  return parts;
}

String HexBytes(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to) {
  static const char16_t* kHex = u"0123456789ABCDEF";
  String out;
  for (std::size_t i = from; i < to; ++i) {
    out += kHex[bytes[i] >> 4];
    out += kHex[bytes[i] & 15];
  }
  return out;
}

// The value's text; the first line continues the line it starts on, further lines are
// indented one level deeper than Level.
String ValueText(const TDescriptionValue& v, int level, bool ownLine);

String ListText(const TDescriptionValue& v, int level) {
  if (v.Items.empty()) return u"()";
  String out = u"(";
  for (std::size_t i = 0; i < v.Items.size(); ++i) {
    out += u"\n" + Indent(level + 1) + ValueText(v.Items[i], level + 1, true);
  }
  return out + u")";
}

String PropertiesText(const std::vector<TDescriptionProperty>& props, int level) {
  String out;
  for (const auto& p : props) {
    out += Indent(level) + p.Name + u" =";
    String value = ValueText(p.Value, level, false);
    if (!value.empty() && value[0] != u'\n') out += u' ';
    out += value + u"\n";
  }
  return out;
}

String ValueText(const TDescriptionValue& v, int level, bool ownLine) {
  switch (v.Type) {
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64: return IntToStr(v.Int);
    case vaExtended:
    case vaDouble: return DescriptionFloatToText(v.Float);
    case vaSingle: return DescriptionFloatToText(v.Float) + u"s";
    case vaCurrency: return DescriptionFloatToText(v.Float) + u"c";
    case vaDate: return DescriptionFloatToText(v.Float) + u"d";
    case vaString:
    case vaLString:
    case vaWString:
    case vaUTF8String: {
      std::vector<String> parts = StringParts(v.Text);
      if (parts.size() == 1) return parts[0];
      // A long string starts on its own line below the property, one part a line.
      String out;
      String joint = u" +\n" + Indent(level + 1);
      if (!ownLine) out = u"\n" + Indent(level + 1);
      for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i) out += joint;
        out += parts[i];
      }
      return out;
    }
    case vaIdent:
    case vaTrue:
    case vaFalse:
    case vaNil:
    case vaNull:
      if (!v.Text.empty()) return v.Text;
      return v.Type == vaTrue    ? u"True"
             : v.Type == vaFalse ? u"False"
             : v.Type == vaNil   ? u"nil"
                                 : u"Null";
    case vaSet: {
      String out = u"[";
      for (std::size_t i = 0; i < v.Elements.size(); ++i) {
        if (i) out += u", ";
        out += v.Elements[i];
      }
      return out + u"]";
    }
    case vaList: return ListText(v, level);
    case vaCollection: {
      if (v.Collection.empty()) return u"<>";
      String out = u"<";
      for (const auto& item : v.Collection) {
        out += u"\n" + Indent(level + 1) + u"item";
        if (item.HasOrder) out += u" [" + IntToStr(item.Order) + u"]";
        out += u"\n" + PropertiesText(item.Properties, level + 2) + Indent(level + 1) + u"end";
      }
      return out + u">";
    }
    case vaBinary: {
      if (v.Bytes.empty()) return u"{}";
      String out = u"{";
      for (std::size_t i = 0; i < v.Bytes.size(); i += kBinaryLine)
        out += u"\n" + Indent(level + 1) +
               HexBytes(v.Bytes, i, std::min(v.Bytes.size(), i + kBinaryLine));
      return out + u"}";
    }
  }
  return String();
}

void ObjectText(const TDescriptionObject& obj, int level, String& out) {
  out += Indent(level);
  out += obj.Block == TDescriptionBlock::Object      ? u"object "
         : obj.Block == TDescriptionBlock::Inherited ? u"inherited "
                                                     : u"inline ";
  if (!obj.Name.empty()) out += obj.Name + u": ";
  out += obj.ClassName;
  if (obj.ChildPos >= 0) out += u" [" + IntToStr(obj.ChildPos) + u"]";
  out += u"\n";
  out += PropertiesText(obj.Properties, level + 1);
  for (const auto& child : obj.Children) ObjectText(child, level + 1, out);
  out += Indent(level) + u"end\n";
}

}  // namespace

String DescriptionFloatToText(Extended v) {
  if (!std::isfinite(v)) throw EWriteError(u"Invalid floating point value");
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, static_cast<long double>(v));
  std::string s(buf, r.ptr);
  std::string mantissa = s, exponent;
  if (auto e = s.find_first_of("eE"); e != std::string::npos) {
    mantissa = s.substr(0, e);
    std::string ex = s.substr(e + 1);
    bool negative = !ex.empty() && ex[0] == '-';
    if (!ex.empty() && (ex[0] == '+' || ex[0] == '-')) ex.erase(0, 1);
    while (ex.size() > 1 && ex[0] == '0') ex.erase(0, 1);
    exponent = std::string("E") + (negative ? "-" : "") + ex;
  }
  if (mantissa.find('.') == std::string::npos) mantissa += ".0";
  return FromUtf8(mantissa + exponent);
}

String FormDescriptionToText(const TDescriptionObject& root) {
  String out;
  ObjectText(root, 0, out);
  return out;
}

String FormDescriptionToText(const TFormDescription& description) {
  return FormDescriptionToText(description.Root);
}

// ---- Embedded descriptions ---------------------------------------------------------------

namespace {

struct EmbeddedList {
  std::vector<std::unique_ptr<TEmbeddedDescription>> items;
  std::mutex mutex;
};

EmbeddedList& Embedded() {
  static EmbeddedList list;
  return list;
}

// The class name in the first block's header: "object Name: TClass" or "object TClass".
String RootClassName(std::string_view text) {
  std::size_t p = 0;
  auto blanks = [&] {
    while (p < text.size() && static_cast<unsigned char>(text[p]) <= ' ') ++p;
  };
  auto word = [&] {
    blanks();
    std::size_t start = p;
    while (p < text.size() && (std::isalnum(static_cast<unsigned char>(text[p])) || text[p] == '_'))
      ++p;
    return std::string(text.substr(start, p - start));
  };
  if (text.size() >= 3 && std::memcmp(text.data(), "\xEF\xBB\xBF", 3) == 0) p = 3;
  word();  // object, inherited or inline
  std::string name = word();
  blanks();
  if (p < text.size() && text[p] == ':') {
    ++p;
    name = word();
  }
  return FromUtf8(name);
}

}  // namespace

void RegisterFormDescription(const char* fileName, const char* utf8Text, std::size_t length) {
  auto d = std::make_unique<TEmbeddedDescription>();
  d->FileName = FromUtf8(fileName);
  d->Text = std::string_view(utf8Text, length);
  d->ResourceName = RootClassName(d->Text);
  EmbeddedList& list = Embedded();
  std::lock_guard lock(list.mutex);
  list.items.push_back(std::move(d));
}

const TEmbeddedDescription* FindFormDescription(const String& name) {
  EmbeddedList& list = Embedded();
  std::lock_guard lock(list.mutex);
  for (const auto& d : list.items)
    if (SameText(d->ResourceName, name)) return d.get();
  for (const auto& d : list.items)
    if (SameText(d->FileName, name)) return d.get();
  return nullptr;
}

std::vector<const TEmbeddedDescription*> EmbeddedFormDescriptions() {
  EmbeddedList& list = Embedded();
  std::lock_guard lock(list.mutex);
  std::vector<const TEmbeddedDescription*> out;
  for (const auto& d : list.items) out.push_back(d.get());
  return out;
}
