#include "RegistryStore.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "DateTime.h"
#include "Files.h"
#include "ShellFolders.h"

// ---------------------------------------------------------------------------------------------
// The tree and the file format
// ---------------------------------------------------------------------------------------------
namespace regfile {

String FoldName(const String& name) { return AnsiUpperCase(name); }

namespace {

bool HasLoneSurrogate(const String& s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    Char c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) ++i;
      else return true;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return true;
    }
  }
  return false;
}

// Names must survive a line of UTF-8 text unchanged.
bool ValidName(const String& name, std::size_t limit) {
  if (name.size() > limit || HasLoneSurrogate(name)) return false;
  for (Char c : name)
    if (c == 0 || c == u'\r' || c == u'\n') return false;
  return true;
}

auto KeyLess = [](const std::unique_ptr<Key>& k, const String& folded) {
  return k->folded < folded;
};

}  // namespace

bool ValidKeyName(const String& name) {
  return !name.empty() && name.find(u'\\') == String::npos && ValidName(name, kMaxKeyNameLength);
}

bool ValidValueName(const String& name) { return ValidName(name, kMaxValueNameLength); }

Key* Key::FindKey(const String& n) const {
  String f = FoldName(n);
  auto it = std::lower_bound(keys.begin(), keys.end(), f, KeyLess);
  return it != keys.end() && (*it)->folded == f ? it->get() : nullptr;
}

Key* Key::AddKey(const String& n) {
  String f = FoldName(n);
  auto it = std::lower_bound(keys.begin(), keys.end(), f, KeyLess);
  if (it != keys.end() && (*it)->folded == f) return it->get();
  auto k = std::make_unique<Key>();
  k->name = n;
  k->folded = f;
  return keys.insert(it, std::move(k))->get();
}

bool Key::RemoveKey(const String& n) {
  String f = FoldName(n);
  auto it = std::lower_bound(keys.begin(), keys.end(), f, KeyLess);
  if (it == keys.end() || (*it)->folded != f) return false;
  keys.erase(it);
  return true;
}

Value* Key::FindValue(const String& n) {
  String f = FoldName(n);
  for (auto& v : values)
    if (FoldName(v.name) == f) return &v;
  return nullptr;
}

const Value* Key::FindValue(const String& n) const { return const_cast<Key*>(this)->FindValue(n); }

void Key::SetValue(const String& n, DWORD type, std::vector<BYTE> data) {
  if (Value* v = FindValue(n)) {
    v->type = type;
    v->data = std::move(data);
  } else {
    values.push_back(Value{n, type, std::move(data)});
  }
}

bool Key::RemoveValue(const String& n) {
  String f = FoldName(n);
  for (auto it = values.begin(); it != values.end(); ++it)
    if (FoldName(it->name) == f) {
      values.erase(it);
      return true;
    }
  return false;
}

void Key::Clear() {
  values.clear();
  keys.clear();
}

bool operator==(const Key& a, const Key& b) {
  if (a.name != b.name || a.values != b.values || a.keys.size() != b.keys.size()) return false;
  for (std::size_t i = 0; i < a.keys.size(); ++i)
    if (!(*a.keys[i] == *b.keys[i])) return false;
  return true;
}

namespace {

constexpr char kHeader[] = "Windows Registry Editor Version 5.00";

// Strict UTF-8: no overlong forms, surrogates, code points past U+10FFFF or zero bytes.
bool ValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == 0) return false;
    std::size_t len = c < 0x80             ? 1
                      : (c & 0xE0) == 0xC0 ? 2
                      : (c & 0xF0) == 0xE0 ? 3
                      : (c & 0xF8) == 0xF0 ? 4
                                           : 0;
    if (len == 0 || i + len > s.size()) return false;
    char32_t cp = len == 1 ? c : c & (0x7F >> len);
    for (std::size_t k = 1; k < len; ++k) {
      unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    static const char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += len;
  }
  return true;
}

// Our own files are UTF-8; regedit's exports are UTF-16 little-endian with a byte-order mark.
bool DecodeText(const std::string& bytes, String& text, std::string& error) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    if (bytes.size() % 2) {
      error = "UTF-16 text of odd length";
      return false;
    }
    text.clear();
    for (std::size_t i = 2; i < bytes.size(); i += 2) {
      Char c = static_cast<Char>(static_cast<unsigned char>(bytes[i]) |
                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
      if (c == 0) {
        error = "zero character in the text";
        return false;
      }
      text.push_back(c);
    }
    return true;
  }
  std::string_view body(bytes);
  if (body.size() >= 3 && body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
  if (!ValidUtf8(body)) {
    error = "not UTF-8 text";
    return false;
  }
  text = FromUtf8(body);
  return true;
}

String TrimBlanks(const String& s) {
  std::size_t b = s.find_first_not_of(u" \t");
  if (b == String::npos) return String();
  std::size_t e = s.find_last_not_of(u" \t");
  return s.substr(b, e - b + 1);
}

// A quoted name or text starting at Pos; regedit escapes only "\" and the quote.
bool ParseQuoted(const String& s, std::size_t& pos, String& out) {
  if (pos >= s.size() || s[pos] != u'"') return false;
  ++pos;
  out.clear();
  while (pos < s.size()) {
    Char c = s[pos];
    if (c == u'"') {
      ++pos;
      return true;
    }
    if (c == u'\\') {
      if (pos + 1 >= s.size() || (s[pos + 1] != u'\\' && s[pos + 1] != u'"')) return false;
      out.push_back(s[pos + 1]);
      pos += 2;
    } else {
      out.push_back(c);
      ++pos;
    }
  }
  return false;
}

// 1 to 8 hex digits, nothing else.
bool ParseHexNumber(const String& s, DWORD& out) {
  if (s.empty() || s.size() > 8) return false;
  out = 0;
  for (Char c : s) {
    int d = HexDigitValue(c);
    if (d < 0) return false;
    out = (out << 4) | static_cast<DWORD>(d);
  }
  return true;
}

// "0a,ff,00": bytes of one or two hex digits between commas; empty text is no bytes.
bool ParseByteList(const String& s, std::vector<BYTE>& out) {
  out.clear();
  if (TrimBlanks(s).empty()) return true;
  std::size_t pos = 0;
  while (true) {
    std::size_t comma = s.find(u',', pos);
    String item = TrimBlanks(s.substr(pos, comma == String::npos ? String::npos : comma - pos));
    DWORD b = 0;
    if (item.size() > 2 || !ParseHexNumber(item, b)) return false;
    out.push_back(static_cast<BYTE>(b));
    if (comma == String::npos) return true;
    pos = comma + 1;
  }
}

bool StartsNoCase(const String& s, std::size_t pos, const char16_t* prefix) {
  std::size_t n = std::char_traits<char16_t>::length(prefix);
  return s.size() - pos >= n && CompareText(s.substr(pos, n), prefix) == 0;
}

std::vector<BYTE> TextData(const String& text) {
  std::vector<BYTE> d;
  d.reserve((text.size() + 1) * 2);
  for (Char c : text) {
    d.push_back(static_cast<BYTE>(c & 0xFF));
    d.push_back(static_cast<BYTE>(c >> 8));
  }
  d.push_back(0);
  d.push_back(0);
  return d;
}

class Parser {
 public:
  Parser(const std::vector<String>& lines, const String& rootName, Key& root)
      : lines_(lines), rootName_(rootName), root_(root) {}

  bool Run(std::string& error) {
    if (lines_.empty() || TrimBlanks(lines_[0]) != FromUtf8(kHeader))
      return Fail(error, "missing header");
    for (line_ = 1; line_ < lines_.size(); ++line_) {
      String text = TrimBlanks(lines_[line_]);
      if (text.find(u'\r') != String::npos) return Fail(error, "stray carriage return");
      if (text.empty() || text[0] == u';') continue;
      bool ok = false;
      if (text[0] == u'[') ok = KeyLine(text);
      else if (text[0] == u'"' || text[0] == u'@') ok = current_ && ValueLine(text);
      if (!ok) return Fail(error, "line not understood");
    }
    return true;
  }

 private:
  bool Fail(std::string& error, const char* why) {
    error = std::string(why) + " at line " + std::to_string(line_ + 1);
    return false;
  }

  bool KeyLine(const String& text) {
    if (text.size() < 2 || text.back() != u']') return false;
    String path = text.substr(1, text.size() - 2);
    std::size_t cut = path.find(u'\\');
    if (FoldName(path.substr(0, cut)) != FoldName(rootName_)) return false;
    Key* k = &root_;
    std::size_t depth = 0;
    while (cut != String::npos) {
      std::size_t next = path.find(u'\\', cut + 1);
      String name = path.substr(cut + 1, next == String::npos ? String::npos : next - cut - 1);
      if (!ValidKeyName(name) || ++depth > kMaxKeyDepth) return false;
      k = k->AddKey(name);
      cut = next;
    }
    current_ = k;
    return true;
  }

  bool ValueLine(String text) {
    std::size_t pos = 0;
    String name;
    if (text[0] == u'@') {
      pos = 1;
    } else if (!ParseQuoted(text, pos, name) || !ValidValueName(name)) {
      return false;
    }
    while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t')) ++pos;
    if (pos >= text.size() || text[pos] != u'=') return false;
    ++pos;
    while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t')) ++pos;

    if (pos < text.size() && text[pos] == u'"') {
      String value;
      if (!ParseQuoted(text, pos, value) || pos != text.size()) return false;
      current_->SetValue(name, REG_SZ, TextData(value));
      return true;
    }
    if (StartsNoCase(text, pos, u"dword:")) {
      DWORD n = 0;
      if (!ParseHexNumber(text.substr(pos + 6), n)) return false;
      current_->SetValue(name, REG_DWORD, {BYTE(n), BYTE(n >> 8), BYTE(n >> 16), BYTE(n >> 24)});
      return true;
    }
    if (!StartsNoCase(text, pos, u"hex")) return false;
    pos += 3;
    DWORD type = REG_BINARY;
    if (pos < text.size() && text[pos] == u'(') {
      std::size_t close = text.find(u')', pos);
      if (close == String::npos || !ParseHexNumber(text.substr(pos + 1, close - pos - 1), type))
        return false;
      pos = close + 1;
    }
    if (pos >= text.size() || text[pos] != u':') return false;
    String list = text.substr(pos + 1);
    // Long byte lists go on over the next lines, each line but the last ending in "\".
    while (!list.empty() && list.back() == u'\\') {
      list.pop_back();
      if (++line_ >= lines_.size()) return false;
      String more = TrimBlanks(lines_[line_]);
      if (more.find(u'\r') != String::npos) return false;
      list += more;
    }
    std::vector<BYTE> data;
    if (!ParseByteList(list, data)) return false;
    current_->SetValue(name, type, std::move(data));
    return true;
  }

  const std::vector<String>& lines_;
  const String& rootName_;
  Key& root_;
  Key* current_ = nullptr;
  std::size_t line_ = 0;
};

std::string Escape(const String& s) {
  String out;
  out.reserve(s.size() + 2);
  for (Char c : s) {
    if (c == u'\\' || c == u'"') out.push_back(u'\\');
    out.push_back(c);
  }
  return ToUtf8(out);
}

// Text that can be written as "...": one terminating zero, none inside, no line breaks.
bool AsPlainText(const std::vector<BYTE>& data, String& text) {
  if (data.size() < 2 || data.size() % 2 || data[data.size() - 1] || data[data.size() - 2])
    return false;
  text.clear();
  for (std::size_t i = 0; i + 2 < data.size(); i += 2) {
    Char c = static_cast<Char>(data[i] | (data[i + 1] << 8));
    if (c == 0 || c == u'\r' || c == u'\n') return false;
    text.push_back(c);
  }
  return !HasLoneSurrogate(text);
}

void WriteValue(std::string& out, const Value& v) {
  static const char kDigits[] = "0123456789abcdef";
  std::string line = v.name.empty() ? "@=" : "\"" + Escape(v.name) + "\"=";
  String text;
  if (v.type == REG_SZ && AsPlainText(v.data, text)) {
    out += line + "\"" + Escape(text) + "\"\n";
    return;
  }
  if (v.type == REG_DWORD && v.data.size() == 4) {
    DWORD n = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) | (DWORD(v.data[3]) << 24);
    out += line + "dword:" + ToUtf8(LowerCase(IntToHex(n, 8))) + "\n";
    return;
  }
  line += v.type == REG_BINARY ? std::string("hex:")
                               : "hex(" + ToUtf8(LowerCase(IntToHex(v.type, 1))) + "):";
  // Lines of about 80 characters, continued with "\" as regedit wraps them.
  for (std::size_t i = 0; i < v.data.size(); ++i) {
    line.push_back(kDigits[v.data[i] >> 4]);
    line.push_back(kDigits[v.data[i] & 15]);
    if (i + 1 == v.data.size()) break;
    line.push_back(',');
    if (line.size() >= 76) {
      out += line + "\\\n";
      line = "  ";
    }
  }
  out += line + "\n";
}

void WriteKey(std::string& out, const Key& k, const std::string& path, bool isRoot) {
  if (!isRoot || !k.values.empty()) {
    out += "[" + path + "]\n";
    for (const auto& v : k.values) WriteValue(out, v);
    out += "\n";
  }
  for (const auto& sub : k.keys) WriteKey(out, *sub, path + "\\" + ToUtf8(sub->name), false);
}

}  // namespace

bool Parse(const std::string& bytes, const String& rootName, Key& root, std::string* error) {
  root.Clear();
  std::string why;
  String text;
  bool ok = DecodeText(bytes, text, why);
  if (ok) {
    std::vector<String> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find(u'\n', start);
      if (end == String::npos) end = text.size();
      String line = text.substr(start, end - start);
      if (!line.empty() && line.back() == u'\r') line.pop_back();
      lines.push_back(std::move(line));
      start = end + 1;
    }
    ok = Parser(lines, rootName, root).Run(why);
  }
  if (!ok) {
    root.Clear();
    if (error) *error = why;
  }
  return ok;
}

std::string Serialize(const Key& root, const String& rootName) {
  std::string out = std::string(kHeader) + "\n\n";
  WriteKey(out, root, ToUtf8(rootName), true);
  return out;
}

}  // namespace regfile

// ---------------------------------------------------------------------------------------------
// The store behind the registry calls
// ---------------------------------------------------------------------------------------------
namespace {

using regfile::Key;

constexpr int kRootCount = 7;
const char16_t* const kRootNames[kRootCount] = {
    u"HKEY_CLASSES_ROOT",     u"HKEY_CURRENT_USER",   u"HKEY_LOCAL_MACHINE", u"HKEY_USERS",
    u"HKEY_PERFORMANCE_DATA", u"HKEY_CURRENT_CONFIG", u"HKEY_DYN_DATA"};

bool IsRoot(HKEY key) { return key >= HKEY_CLASSES_ROOT && key < HKEY_CLASSES_ROOT + kRootCount; }

// What tells that a file changed: a replaced file has a new inode, an edited one a new
// modification time or size.
struct FileStamp {
  bool exists = false;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  std::int64_t mtimeNs = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

FileStamp StampOf(const String& file) {
  FileStamp s;
  struct stat st;
  if (file.empty() || stat(ToOsPath(file).c_str(), &st) != 0) return s;
  s.exists = true;
  s.dev = st.st_dev;
  s.ino = st.st_ino;
  s.size = st.st_size;
  s.mtimeNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return s;
}

enum class Condition {
  Good,
  Corrupt,     // did not parse: reads as empty, set aside before the next write
  Unreadable,  // could not be read: reads as empty, never replaced
};

struct Root {
  bool loaded = false;
  String fileName;
  FileStamp stamp;
  Condition condition = Condition::Good;
  String unreadable;  // why, while Unreadable
  Key tree;
};

struct Handle {
  int root = 0;
  std::vector<String> path;
  REGSAM access = 0;
};

struct Store {
  Root roots[kRootCount];
  std::unordered_map<HKEY, Handle> handles;
  HKEY next = 1;
  String fileProblem;  // RegistryFileProblem
};

Store& TheStore() {
  static Store store;
  return store;
}

Root& Loaded(int index) {
  Root& r = TheStore().roots[index];
  String file = RegistryFileName(HKEY_CLASSES_ROOT + index);
  FileStamp stamp = StampOf(file);
  if (r.loaded && r.fileName == file && r.stamp == stamp) return r;
  r.loaded = true;
  r.fileName = file;
  r.stamp = stamp;
  r.condition = Condition::Good;
  r.tree.Clear();
  if (!stamp.exists) return r;
  std::string bytes;
  TFileError error;
  if (!ReadFileBytes(file, bytes, &error)) {
    r.condition = Condition::Unreadable;
    r.unreadable = error.reason;
  } else if (!bytes.empty() && !regfile::Parse(bytes, kRootNames[index], r.tree))
    r.condition = Condition::Corrupt;
  return r;
}

// Copies a file that did not parse out of the way under a name no earlier one has. A copy, not
// a rename, so a root file that is a symbolic link stays one.
bool SetAside(const String& file, TFileError& error) {
  String base = file + u".corrupt-" + FormatDateTime(u"yyyymmdd-hhnnss", Now());
  String target = base;
  for (int n = 1; FileExists(target); ++n) target = base + u"-" + IntToStr(n);
  std::string bytes;
  return ReadFileBytes(file, bytes, &error) && WriteFileReplacing(target, bytes, &error);
}

// After every change. On failure the root is read again from its file, which is as it was, so
// the change is undone in memory too, and RegistryFileProblem says why.
LONG Save(int index) {
  Root& r = TheStore().roots[index];
  LONG result = ERROR_SUCCESS;
  TFileError error;
  if (r.condition == Condition::Unreadable) {
    result = ERROR_ACCESS_DENIED;
    error.reason = u"it could not be read (" + r.unreadable + u"), so it is left as it is";
  } else if (r.fileName.empty() || !ForceDirectories(ExtractFilePath(r.fileName))) {
    result = ERROR_CANTWRITE;
    error.reason = u"its folder cannot be created";
  } else if (r.condition == Condition::Corrupt && !SetAside(r.fileName, error)) {
    result = ERROR_ACCESS_DENIED;
  } else if (!WriteFileReplacing(r.fileName, regfile::Serialize(r.tree, kRootNames[index]),
                                 &error)) {
    result = ERROR_CANTWRITE;
  }
  if (result != ERROR_SUCCESS) {
    TheStore().fileProblem =
        Format(u"cannot write %s: %s", {DisplayPath(r.fileName), error.reason});
    r.loaded = false;
    return result;
  }
  r.condition = Condition::Good;
  r.stamp = StampOf(r.fileName);
  return ERROR_SUCCESS;
}

// The key a handle stands for, resolved afresh on every call, so handles survive reloads.
struct Target {
  int root = 0;
  std::vector<String> path;
  REGSAM access = 0;
  bool isRoot = false;
};

LONG Lookup(HKEY key, Target& t) {
  if (IsRoot(key)) {
    t = Target{static_cast<int>(key - HKEY_CLASSES_ROOT), {}, KEY_ALL_ACCESS, true};
    return ERROR_SUCCESS;
  }
  auto& handles = TheStore().handles;
  auto it = handles.find(key);
  if (it == handles.end()) return ERROR_INVALID_HANDLE;
  t = Target{it->second.root, it->second.path, it->second.access, false};
  return ERROR_SUCCESS;
}

Key* Resolve(Key& root, const std::vector<String>& path) {
  Key* k = &root;
  for (const auto& name : path)
    if (!(k = k->FindKey(name))) return nullptr;
  return k;
}

// Opens the handle's key, with Needed access, reloading its root when the file changed. Every
// call starts here, so a file problem reported is always the current call's.
LONG OpenTarget(HKEY key, REGSAM needed, Target& t, Key*& k) {
  TheStore().fileProblem.clear();
  if (LONG rc = Lookup(key, t); rc != ERROR_SUCCESS) return rc;
  if (needed && !(t.access & needed)) return ERROR_ACCESS_DENIED;
  k = Resolve(Loaded(t.root).tree, t.path);
  return k ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

LONG SplitPath(const Char* subKey, std::vector<String>& parts) {
  parts.clear();
  if (!subKey || !*subKey) return ERROR_SUCCESS;
  String s(subKey);
  if (s[0] == u'\\') return ERROR_BAD_PATHNAME;
  if (s.back() == u'\\') s.pop_back();
  std::size_t start = 0;
  while (true) {
    std::size_t cut = s.find(u'\\', start);
    String name = s.substr(start, cut == String::npos ? String::npos : cut - start);
    if (name.empty()) return ERROR_BAD_PATHNAME;
    if (!regfile::ValidKeyName(name)) return ERROR_INVALID_PARAMETER;
    parts.push_back(std::move(name));
    if (cut == String::npos) return ERROR_SUCCESS;
    start = cut + 1;
  }
}

// The handle's key opened and the sub-key path under it split, as the calls that take one begin.
LONG OpenWithPath(HKEY key, const Char* subKey, Target& t, Key*& k, std::vector<String>& parts) {
  if (LONG rc = SplitPath(subKey, parts); rc != ERROR_SUCCESS) return rc;
  return OpenTarget(key, 0, t, k);
}

// What both deletions start with: the path split, the handle's key opened, and the right to
// delete, which a handle that may not add keys does not have either.
// What a deletion works on: the handle's key, opened with the right to delete below it, and the
// parts of the path from there.
struct Deletion {
  Target t;
  Key* k = nullptr;
  std::vector<String> parts;
};

LONG OpenForDeletion(HKEY key, const Char* subKey, Deletion& d) {
  if (LONG rc = OpenWithPath(key, subKey, d.t, d.k, d.parts); rc != ERROR_SUCCESS) return rc;
  return d.t.access & (KEY_CREATE_SUB_KEY | DELETE) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// The key that holds the path's last part, or null when a key on the way is missing.
Key* ParentOf(Key* k, const std::vector<String>& parts) {
  for (std::size_t i = 0; k && i + 1 < parts.size(); ++i) k = k->FindKey(parts[i]);
  return k;
}

HKEY NewHandle(int root, std::vector<String> path, REGSAM access) {
  Store& s = TheStore();
  while (s.handles.count(s.next) || s.next == 0 || IsRoot(s.next))
    s.next = s.next >= 0x7FFFFFFF ? 1 : s.next + 1;
  HKEY h = s.next++;
  s.handles[h] = Handle{root, std::move(path), access};
  return h;
}

String ValueNameOf(const Char* name) { return name ? String(name) : String(); }

FILETIME FileTimeOf(int root) {
  const FileStamp& st = TheStore().roots[root].stamp;
  FILETIME ft;
  if (!st.exists) return ft;
  std::uint64_t ticks = std::uint64_t(st.mtimeNs / 100) + 116444736000000000ULL;
  ft.dwLowDateTime = static_cast<DWORD>(ticks);
  ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return ft;
}

// Data out as the query calls give it: sizes only without a buffer, ERROR_MORE_DATA when short.
LONG CopyData(const regfile::Value& v, DWORD* type, BYTE* data, DWORD* dataSize) {
  if (type) *type = v.type;
  DWORD size = static_cast<DWORD>(v.data.size());
  if (data) {
    if (!dataSize) return ERROR_INVALID_PARAMETER;
    if (*dataSize < size) {
      *dataSize = size;
      return ERROR_MORE_DATA;
    }
    if (size) std::memcpy(data, v.data.data(), size);
  }
  if (dataSize) *dataSize = size;
  return ERROR_SUCCESS;
}

// A name into a caller's buffer whose length counts the terminating zero going in, not coming out.
LONG CopyName(const String& name, Char* buffer, DWORD* length) {
  if (!buffer || !length) return ERROR_INVALID_PARAMETER;
  if (*length <= name.size()) {
    *length = static_cast<DWORD>(name.size());
    return ERROR_MORE_DATA;
  }
  name.copy(buffer, name.size());
  buffer[name.size()] = 0;
  *length = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

}  // namespace

String RegistryFileProblem() { return TheStore().fileProblem; }

String RegistryRootName(HKEY root) {
  return IsRoot(root) ? String(kRootNames[root - HKEY_CLASSES_ROOT]) : String();
}

String RegistryFileName(HKEY root) {
  if (!IsRoot(root)) return String();
  Char folder[MAX_PATH];
  if (!SHGetSpecialFolderPathW(0, folder, CSIDL_APPDATA, FALSE)) return String();
  return IncludeTrailingPathDelimiter(folder) + u"korv\\registry\\" + RegistryRootName(root) +
         u".reg";
}

LONG RegOpenKeyExW(HKEY key, const Char* subKey, DWORD, REGSAM desired, HKEY* result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = 0;
  Target t;
  Key* k = nullptr;
  std::vector<String> parts;
  if (LONG rc = OpenWithPath(key, subKey, t, k, parts); rc != ERROR_SUCCESS) return rc;
  for (const auto& name : parts) {
    if (!(k = k->FindKey(name))) return ERROR_FILE_NOT_FOUND;
    t.path.push_back(k->name);
  }
  *result = NewHandle(t.root, std::move(t.path), desired);
  return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY key, const Char* subKey, DWORD, Char*, DWORD, REGSAM desired, const void*,
                     HKEY* result, DWORD* disposition) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = 0;
  Target t;
  Key* k = nullptr;
  std::vector<String> parts;
  if (LONG rc = OpenWithPath(key, subKey, t, k, parts); rc != ERROR_SUCCESS) return rc;
  std::size_t i = 0;
  for (; i < parts.size(); ++i) {
    Key* sub = k->FindKey(parts[i]);
    if (!sub) break;
    k = sub;
    t.path.push_back(k->name);
  }
  bool create = i < parts.size();
  if (create) {
    if (!(t.access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    if (t.path.size() + parts.size() - i > regfile::kMaxKeyDepth) return ERROR_INVALID_PARAMETER;
    for (; i < parts.size(); ++i) {
      k = k->AddKey(parts[i]);
      t.path.push_back(k->name);
    }
    if (LONG rc = Save(t.root); rc != ERROR_SUCCESS) return rc;
  }
  if (disposition) *disposition = create ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *result = NewHandle(t.root, std::move(t.path), desired);
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
  if (IsRoot(key)) return ERROR_SUCCESS;
  return TheStore().handles.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueExW(HKEY key, const Char* valueName, DWORD*, DWORD* type, BYTE* data,
                      DWORD* dataSize) {
  Target t;
  Key* k = nullptr;
  if (LONG rc = OpenTarget(key, KEY_QUERY_VALUE, t, k); rc != ERROR_SUCCESS) return rc;
  const regfile::Value* v = k->FindValue(ValueNameOf(valueName));
  if (!v) return ERROR_FILE_NOT_FOUND;
  return CopyData(*v, type, data, dataSize);
}

LONG RegSetValueExW(HKEY key, const Char* valueName, DWORD, DWORD type, const BYTE* data,
                    DWORD dataSize) {
  String name = ValueNameOf(valueName);
  if ((!data && dataSize) || !regfile::ValidValueName(name)) return ERROR_INVALID_PARAMETER;
  Target t;
  Key* k = nullptr;
  if (LONG rc = OpenTarget(key, KEY_SET_VALUE, t, k); rc != ERROR_SUCCESS) return rc;
  k->SetValue(name, type, std::vector<BYTE>(data, data + dataSize));
  return Save(t.root);
}

LONG RegDeleteValueW(HKEY key, const Char* valueName) {
  Target t;
  Key* k = nullptr;
  if (LONG rc = OpenTarget(key, KEY_SET_VALUE, t, k); rc != ERROR_SUCCESS) return rc;
  if (!k->RemoveValue(ValueNameOf(valueName))) return ERROR_FILE_NOT_FOUND;
  return Save(t.root);
}

LONG RegDeleteKeyW(HKEY key, const Char* subKey) {
  Deletion d;
  if (LONG rc = OpenForDeletion(key, subKey, d); rc != ERROR_SUCCESS) return rc;
  auto& [t, k, parts] = d;
  Key* parent = nullptr;
  if (parts.empty()) {
    // An empty path deletes the handle's own key; a root (or a handle on one) cannot go.
    if (t.path.empty()) return ERROR_ACCESS_DENIED;
    parts.push_back(t.path.back());
    t.path.pop_back();
    parent = Resolve(Loaded(t.root).tree, t.path);
  } else {
    parent = ParentOf(k, parts);
  }
  Key* victim = parent ? parent->FindKey(parts.back()) : nullptr;
  if (!victim) return ERROR_FILE_NOT_FOUND;
  if (!victim->keys.empty()) return ERROR_ACCESS_DENIED;
  parent->RemoveKey(parts.back());
  return Save(t.root);
}

LONG RegDeleteTreeW(HKEY key, const Char* subKey) {
  Deletion d;
  if (LONG rc = OpenForDeletion(key, subKey, d); rc != ERROR_SUCCESS) return rc;
  auto& [t, k, parts] = d;
  if (parts.empty()) {
    if (k->keys.empty() && k->values.empty()) return ERROR_SUCCESS;
    k->Clear();
    return Save(t.root);
  }
  Key* parent = ParentOf(k, parts);
  if (!parent || !parent->RemoveKey(parts.back())) return ERROR_FILE_NOT_FOUND;
  return Save(t.root);
}

LONG RegEnumKeyExW(HKEY key, DWORD index, Char* name, DWORD* nameLength, DWORD*, Char* keyClass,
                   DWORD* classLength, FILETIME* lastWriteTime) {
  Target t;
  Key* k = nullptr;
  if (LONG rc = OpenTarget(key, KEY_ENUMERATE_SUB_KEYS, t, k); rc != ERROR_SUCCESS) return rc;
  if (index >= k->keys.size()) return ERROR_NO_MORE_ITEMS;
  if (LONG rc = CopyName(k->keys[index]->name, name, nameLength); rc != ERROR_SUCCESS) return rc;
  if (classLength) {
    if (keyClass && *classLength) keyClass[0] = 0;
    *classLength = 0;
  }
  if (lastWriteTime) *lastWriteTime = FileTimeOf(t.root);
  return ERROR_SUCCESS;
}

LONG RegEnumValueW(HKEY key, DWORD index, Char* valueName, DWORD* valueNameLength, DWORD*,
                   DWORD* type, BYTE* data, DWORD* dataSize) {
  Target t;
  Key* k = nullptr;
  if (LONG rc = OpenTarget(key, KEY_QUERY_VALUE, t, k); rc != ERROR_SUCCESS) return rc;
  if (index >= k->values.size()) return ERROR_NO_MORE_ITEMS;
  const regfile::Value& v = k->values[index];
  if (LONG rc = CopyName(v.name, valueName, valueNameLength); rc != ERROR_SUCCESS) return rc;
  return CopyData(v, type, data, dataSize);
}

LONG RegQueryInfoKeyW(HKEY key, Char* keyClass, DWORD* classLength, DWORD*, DWORD* subKeys,
                      DWORD* maxSubKeyLength, DWORD* maxClassLength, DWORD* values,
                      DWORD* maxValueNameLength, DWORD* maxValueLength, DWORD* securityDescriptor,
                      FILETIME* lastWriteTime) {
  Target t;
  Key* k = nullptr;
  if (LONG rc = OpenTarget(key, KEY_QUERY_VALUE, t, k); rc != ERROR_SUCCESS) return rc;
  if (classLength) {
    if (keyClass && *classLength) keyClass[0] = 0;
    *classLength = 0;
  }
  std::size_t maxKey = 0, maxName = 0, maxData = 0;
  for (const auto& sub : k->keys) maxKey = std::max(maxKey, sub->name.size());
  for (const auto& v : k->values) {
    maxName = std::max(maxName, v.name.size());
    maxData = std::max(maxData, v.data.size());
  }
  if (subKeys) *subKeys = static_cast<DWORD>(k->keys.size());
  if (maxSubKeyLength) *maxSubKeyLength = static_cast<DWORD>(maxKey);
  if (maxClassLength) *maxClassLength = 0;
  if (values) *values = static_cast<DWORD>(k->values.size());
  if (maxValueNameLength) *maxValueNameLength = static_cast<DWORD>(maxName);
  if (maxValueLength) *maxValueLength = static_cast<DWORD>(maxData);
  if (securityDescriptor) *securityDescriptor = 0;
  if (lastWriteTime) *lastWriteTime = FileTimeOf(t.root);
  return ERROR_SUCCESS;
}
