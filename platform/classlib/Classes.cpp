#include "Classes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <limits>
#include <new>
#include <numeric>
#include <stdexcept>

#include "Files.h"
#include "ScopeGuard.h"

// ---- TObject, TPersistent -------------------------------------------------------------

TObject::~TObject() = default;
String TObject::ClassName() const { return u"TObject"; }

String TPersistent::ClassName() const { return u"TPersistent"; }

void TPersistent::Assign(const TPersistent* source) {
  if (source) {
    source->AssignTo(this);
  } else {
    throw EConvertError(Format(u"Cannot assign a %s to a %s", {String(u"nil"), ClassName()}));
  }
}

void TPersistent::AssignTo(TPersistent* dest) const {
  throw EConvertError(Format(u"Cannot assign a %s to a %s", {ClassName(), dest->ClassName()}));
}

// ---- TStrings -------------------------------------------------------------------------

TStrings::TStrings() = default;
String TStrings::ClassName() const { return u"TStrings"; }

void TStrings::IndexError(int index) const {
  throw EStringListError(Format(u"List index out of bounds (%d)", {std::int64_t{index}}));
}

int TStrings::Add(const String& s) {
  int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const String& s, TObject* object) {
  int index = Add(s);
  PutObject(index, object);
  return index;
}

void TStrings::AddStrings(const TStrings* strings) {
  if (!strings) return;
  UpdateScope update(this);
  // Counted first, so adding a list to itself ends.
  const int n = strings->Count();
  for (int i = 0; i < n; ++i) AddObject(strings->Get(i), strings->Objects(i));
}

void TStrings::InsertObject(int index, const String& s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

void TStrings::Exchange(int index1, int index2) {
  UpdateScope update(this);
  String s1 = Get(index1), s2 = Get(index2);
  TObject* o1 = Objects(index1);
  TObject* o2 = Objects(index2);
  Put(index1, s2);
  PutObject(index1, o2);
  Put(index2, s1);
  PutObject(index2, o1);
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  UpdateScope update(this);
  String s = Get(curIndex);
  TObject* o = Objects(curIndex);
  PutObject(curIndex, nullptr);  // a list owning its objects must not free this one
  Delete(curIndex);
  InsertObject(newIndex, s, o);
}

void TStrings::Put(int index, const String& s) {
  TObject* o = Objects(index);
  PutObject(index, nullptr);
  Delete(index);
  InsertObject(index, s, o);
}

TObject* TStrings::Objects(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) {}

int TStrings::IndexOf(const String& s) const {
  const int n = Count();
  for (int i = 0; i < n; ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const String& name) const {
  const int n = Count();
  for (int i = 0; i < n; ++i) {
    String s = Get(i);
    auto p = s.find(nameValueSeparator_);
    if (p != String::npos && CompareStrings(s.substr(0, p), name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
  const int n = Count();
  for (int i = 0; i < n; ++i)
    if (Objects(i) == object) return i;
  return -1;
}

String TStrings::Names(int index) const {
  String s = Get(index);
  auto p = s.find(nameValueSeparator_);
  return p == String::npos ? String() : s.substr(0, p);
}

String TStrings::ValueFromIndex(int index) const {
  String s = Get(index);
  auto p = s.find(nameValueSeparator_);
  return p == String::npos ? String() : s.substr(p + 1);
}

String TStrings::Values(const String& name) const {
  int i = IndexOfName(name);
  return i < 0 ? String() : ValueFromIndex(i);
}

void TStrings::SetValue(const String& name, const String& value) {
  int i = IndexOfName(name);
  if (!value.empty()) {
    String line = name + nameValueSeparator_ + value;
    if (i < 0) Add(line);
    else Put(i, line);
  } else if (i >= 0) {
    Delete(i);
  }
}

String TStrings::Text() const {
  String out;
  const int n = Count();
  for (int i = 0; i < n; ++i) {
    out += Get(i);
    out += lineBreak_;
  }
  return out;
}

void TStrings::SetText(const String& text) {
  UpdateScope update(this);
  Clear();
  std::size_t start = 0;
  const std::size_t n = text.size();
  while (start < n) {
    std::size_t e = start;
    while (e < n && text[e] != u'\r' && text[e] != u'\n') ++e;
    Add(text.substr(start, e - start));
    if (e < n) e += (text[e] == u'\r' && e + 1 < n && text[e + 1] == u'\n') ? 2 : 1;
    start = e;
  }
}

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) SetUpdateState(false);
}

bool TStrings::Equals(const TStrings* strings) const {
  if (!strings) return false;
  const int n = Count();
  if (n != strings->Count()) return false;
  for (int i = 0; i < n; ++i)
    if (Get(i) != strings->Get(i)) return false;
  return true;
}

std::vector<String> TStrings::ToVector() const {
  std::vector<String> v;
  const int n = Count();
  v.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) v.push_back(Get(i));
  return v;
}

void TStrings::Assign(const TPersistent* source) {
  auto* src = dynamic_cast<const TStrings*>(source);
  if (!src) {
    TPersistent::Assign(source);
    return;
  }
  if (src == this) return;
  UpdateScope update(this);
  Clear();
  nameValueSeparator_ = src->nameValueSeparator_;
  lineBreak_ = src->lineBreak_;
  AddStrings(src);
}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const String& a, const String& b) const { return CompareText(a, b); }

// ---- TStringList ----------------------------------------------------------------------

namespace {
[[noreturn]] void SortedListError() {
  throw EStringListError(u"Operation not allowed on sorted list");
}
}  // namespace

TStringList::TStringList() = default;

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  if (ownsObjects_)
    for (auto& item : items_) delete item.object;
}

String TStringList::ClassName() const { return u"TStringList"; }

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating) Changing();
  else Changed();
}

int TStringList::CompareStrings(const String& a, const String& b) const {
  if (!caseSensitive_) return CompareText(a, b);
  int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

String TStringList::Get(int index) const {
  CheckIndex(index);
  return items_[static_cast<std::size_t>(index)].text;
}

void TStringList::InsertItem(int index, const String& s, TObject* object) {
  Changing();
  items_.insert(items_.begin() + index, Item{s, object});
  Changed();
}

int TStringList::Add(const String& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const String& s, TObject* object) {
  int index = Count();
  if (sorted_ && Find(s, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) throw EStringListError(u"String list does not allow duplicates");
  }
  InsertItem(index, s, object);
  return index;
}

void TStringList::Insert(int index, const String& s) {
  if (sorted_) SortedListError();
  if (index < 0 || index > Count()) IndexError(index);
  InsertItem(index, s, nullptr);
}

void TStringList::Put(int index, const String& s) {
  if (sorted_) SortedListError();
  CheckIndex(index);
  Changing();
  items_[static_cast<std::size_t>(index)].text = s;
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  TObject* object = items_[static_cast<std::size_t>(index)].object;
  items_.erase(items_.begin() + index);
  if (ownsObjects_) delete object;
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  std::vector<Item> old;
  old.swap(items_);
  if (ownsObjects_)
    for (auto& item : old) delete item.object;
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(items_[static_cast<std::size_t>(index1)], items_[static_cast<std::size_t>(index2)]);
  Changed();
}

TObject* TStringList::Objects(int index) const {
  CheckIndex(index);
  return items_[static_cast<std::size_t>(index)].object;
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  Changing();
  items_[static_cast<std::size_t>(index)].object = object;
  Changed();
}

int TStringList::IndexOf(const String& s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index;
  return Find(s, index) ? index : -1;
}

bool TStringList::Find(const String& s, int& index) const {
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    int c = CompareStrings(items_[static_cast<std::size_t>(mid)].text, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) found = true;  // keep looking left for the first match
    }
  }
  index = lo;
  return found;
}

void TStringList::CustomSort(const TCompare& compare) {
  if (items_.size() < 2) return;
  Changing();
  // Compare sees the list in its original order while the permutation is sorted.
  std::vector<int> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return compare(this, a, b) < 0; });
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  for (int i : order) sorted.push_back(std::move(items_[static_cast<std::size_t>(i)]));
  items_.swap(sorted);
  Changed();
}

void TStringList::Sort() {
  CustomSort([](const TStringList* list, int a, int b) {
    return list->CompareStrings(list->items_[static_cast<std::size_t>(a)].text,
                                list->items_[static_cast<std::size_t>(b)].text);
  });
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == sorted_) return;
  if (sorted) Sort();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
  if (caseSensitive == caseSensitive_) return;
  caseSensitive_ = caseSensitive;
  if (sorted_) Sort();
}

// ---- TStream --------------------------------------------------------------------------

String TStream::ClassName() const { return u"TStream"; }

std::int64_t TStream::Position() const { return const_cast<TStream*>(this)->Seek(0, soCurrent); }

std::int64_t TStream::Size() const {
  auto* self = const_cast<TStream*>(this);
  std::int64_t pos = self->Seek(0, soCurrent);
  std::int64_t size = self->Seek(0, soEnd);
  self->Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(std::int64_t) {}

void TStream::ReadBuffer(void* buffer, int count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError(u"Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError(u"Stream write error");
}

std::int64_t TStream::CopyFrom(TStream* source, std::int64_t count) {
  if (count <= 0) {
    source->SetPosition(0);
    count = source->Size();
  }
  constexpr std::int64_t kChunk = 65536;
  std::vector<std::uint8_t> buf(static_cast<std::size_t>(std::min(count, kChunk)));
  std::int64_t left = count;
  while (left > 0) {
    int n = static_cast<int>(std::min(left, kChunk));
    source->ReadBuffer(buf.data(), n);
    WriteBuffer(buf.data(), n);
    left -= n;
  }
  return count;
}

// ---- TMemoryStream --------------------------------------------------------------------

TMemoryStream::TMemoryStream() = default;
TMemoryStream::~TMemoryStream() = default;
String TMemoryStream::ClassName() const { return u"TMemoryStream"; }

int TMemoryStream::Read(void* buffer, int count) {
  const auto size = static_cast<std::int64_t>(data_.size());
  if (count <= 0 || position_ < 0 || position_ >= size) return 0;
  int n = static_cast<int>(std::min<std::int64_t>(count, size - position_));
  std::memcpy(buffer, data_.data() + position_, static_cast<std::size_t>(n));
  position_ += n;
  return n;
}

int TMemoryStream::Write(const void* buffer, int count) {
  if (count <= 0 || position_ < 0) return 0;
  if (position_ > static_cast<std::int64_t>(data_.max_size()) - count) return 0;
  const std::int64_t end = position_ + count;
  try {
    if (end > static_cast<std::int64_t>(data_.size())) data_.resize(static_cast<std::size_t>(end));
  } catch (const std::bad_alloc&) {
    return 0;
  } catch (const std::length_error&) {
    return 0;
  }
  std::memcpy(data_.data() + position_, buffer, static_cast<std::size_t>(count));
  position_ = end;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  std::int64_t base = origin == soBeginning ? 0
                      : origin == soCurrent ? position_
                                            : static_cast<std::int64_t>(data_.size());
  // Saturate instead of overflowing; a position outside the data transfers nothing.
  if (offset > 0 && base > INT64_MAX - offset) position_ = INT64_MAX;
  else if (offset < 0 && base < INT64_MIN - offset) position_ = INT64_MIN;
  else position_ = base + offset;
  return position_;
}

void TMemoryStream::SetSize(std::int64_t size) {
  if (size < 0) size = 0;
  try {
    if (static_cast<std::uint64_t>(size) > data_.max_size()) throw std::length_error("size");
    data_.resize(static_cast<std::size_t>(size));
  } catch (const std::exception&) {
    throw EOutOfMemory(u"Out of memory while expanding memory stream");
  }
  if (position_ > size) position_ = size;
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
  stream->SetPosition(0);
  std::int64_t count = stream->Size();
  SetSize(count);
  std::int64_t done = 0;
  while (done < count) {
    int n = static_cast<int>(std::min<std::int64_t>(count - done, 1 << 30));
    stream->ReadBuffer(data_.data() + done, n);
    done += n;
  }
  position_ = 0;
}

void TMemoryStream::SaveToStream(TStream* stream) const {
  std::int64_t done = 0;
  const auto count = static_cast<std::int64_t>(data_.size());
  while (done < count) {
    int n = static_cast<int>(std::min<std::int64_t>(count - done, 1 << 30));
    stream->WriteBuffer(data_.data() + done, n);
    done += n;
  }
}

namespace {
// "Cannot open file "/home/ann/x.dat": Permission denied": the path as the system names it.
String OpenMessage(const String& what, const String& fileName, const String& why) {
  return Format(u"%s \"%s\": %s", {what, DisplayPath(fileName), why});
}
}  // namespace

void TMemoryStream::LoadFromFile(const String& fileName) {
  std::string bytes;
  TFileError error;
  if (!ReadFileBytes(fileName, bytes, &error, std::numeric_limits<std::int64_t>::max()))
    throw EFOpenError(OpenMessage(u"Cannot open file", fileName, error.reason));
  data_.assign(bytes.begin(), bytes.end());
  position_ = 0;
}

void TMemoryStream::SaveToFile(const String& fileName) const {
  std::string bytes(data_.begin(), data_.end());
  TFileError error;
  if (!WriteFileReplacing(fileName, bytes, &error))
    throw EFCreateError(OpenMessage(u"Cannot create file", fileName, error.reason));
}

// ---- TFileStream ----------------------------------------------------------------------

TFileStream::TFileStream(const String& fileName, std::uint16_t mode) : fileName_(fileName) {
  const std::string os = ToOsPath(fileName);
  const bool create = (mode & fmCreate) == fmCreate;
  int flags = O_CLOEXEC;
  if (create) {
    flags |= O_RDWR | O_CREAT | O_TRUNC;
  } else {
    switch (mode & 3) {
      case fmOpenWrite: flags |= O_WRONLY; break;
      case fmOpenReadWrite: flags |= O_RDWR; break;
      default: flags |= O_RDONLY; break;
    }
  }
  if (create || (mode & 3) != fmOpenRead) IgnoreFileSizeSignal();
  String why = SystemErrorText(ENOENT);
  if (!os.empty()) {
    // Without O_NONBLOCK opening a FIFO would wait for its other end, for ever.
    do {
      fd_ = ::open(os.c_str(), flags | O_NONBLOCK | O_NOCTTY, 0666);
    } while (fd_ < 0 && errno == EINTR);
    why = SystemErrorText(errno);
  }
  struct stat st;
  if (fd_ >= 0) {
    // Judged by what was opened: only a regular file is a file here.
    const int fileFlags = fcntl(fd_, F_GETFL);
    if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) why = u"not a regular file";
    else if (fileFlags < 0 || fcntl(fd_, F_SETFL, fileFlags & ~O_NONBLOCK) != 0)
      why = SystemErrorText(errno);
    else why.clear();
    if (!why.empty()) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  if (fd_ < 0) {
    if (create) throw EFCreateError(OpenMessage(u"Cannot create file", fileName, why));
    throw EFOpenError(OpenMessage(u"Cannot open file", fileName, why));
  }
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

String TFileStream::ClassName() const { return u"TFileStream"; }

int TFileStream::Read(void* buffer, int count) {
  int done = 0;
  auto* p = static_cast<char*>(buffer);
  while (done < count) {
    ssize_t r = ::read(fd_, p + done, static_cast<std::size_t>(count - done));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += static_cast<int>(r);
  }
  return done;
}

int TFileStream::Write(const void* buffer, int count) {
  int done = 0;
  auto* p = static_cast<const char*>(buffer);
  while (done < count) {
    ssize_t w = ::write(fd_, p + done, static_cast<std::size_t>(count - done));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) break;
    done += static_cast<int>(w);
  }
  return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  return static_cast<std::int64_t>(::lseek(fd_, static_cast<off_t>(offset), whence));
}

void TFileStream::SetSize(std::int64_t size) {
  if (size < 0 || ::ftruncate(fd_, static_cast<off_t>(size)) != 0)
    throw EWriteError(u"Stream write error");
  if (Position() > size) Seek(size, soBeginning);
}

// ---- TStringStream --------------------------------------------------------------------

TStringStream::TStringStream(const String& text) {
  std::string bytes = ToUtf8(text);
  WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
  SetPosition(0);
}

String TStringStream::ClassName() const { return u"TStringStream"; }

String TStringStream::DataString() const {
  return FromUtf8(
      std::string_view(static_cast<const char*>(Memory()), static_cast<std::size_t>(Size())));
}
