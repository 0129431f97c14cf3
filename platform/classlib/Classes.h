#pragma once
// The class library's non-visual base classes: objects, persistent objects, string lists and
// streams.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Exceptions.h"
#include "Strings.h"

class TObject {
 public:
  virtual ~TObject();
  virtual String ClassName() const;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

class TPersistent : public TObject {
 public:
  String ClassName() const override;
  // Copies Source into this object; a class that does not know Source hands the work to
  // Source's AssignTo. Assigning nothing raises as well.
  virtual void Assign(const TPersistent* source);

 protected:
  // The last resort of Assign: raises EConvertError("Cannot assign a <src> to a <dest>").
  virtual void AssignTo(TPersistent* dest) const;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

// An abstract list of strings, each with an optional object pointer it does not own.
// Lines of the form name=value (the separator is NameValueSeparator) can be read by name.
class TStrings : public TPersistent {
 public:
  TStrings();
  String ClassName() const override;

  virtual int Add(const String& s);
  virtual int AddObject(const String& s, TObject* object);
  virtual void AddStrings(const TStrings* strings);
  virtual void Insert(int index, const String& s) = 0;
  void InsertObject(int index, const String& s, TObject* object);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual void Exchange(int index1, int index2);
  virtual void Move(int curIndex, int newIndex);
  virtual int Count() const = 0;

  String Strings(int index) const { return Get(index); }
  String operator[](int index) const { return Get(index); }
  virtual void Put(int index, const String& s);
  virtual TObject* Objects(int index) const;
  virtual void PutObject(int index, TObject* object);

  // Comparisons follow CompareStrings: case-insensitive unless a subclass says otherwise.
  virtual int IndexOf(const String& s) const;
  int IndexOfName(const String& name) const;
  int IndexOfObject(const TObject* object) const;
  // The part before the first separator; empty for a line without one.
  String Names(int index) const;
  // The part after the first separator; empty for a line without one.
  String ValueFromIndex(int index) const;
  String Values(const String& name) const;
  // Sets the value of the first line named Name, adding the line when missing; an empty
  // value deletes the line.
  void SetValue(const String& name, const String& value);

  // Every line followed by LineBreak ("\n" on this platform). Setting splits at "\r\n", "\n"
  // and "\r"; a final line break does not start another line.
  String Text() const;
  virtual void SetText(const String& text);
  const String& LineBreak() const { return lineBreak_; }
  void SetLineBreak(const String& lineBreak) { lineBreak_ = lineBreak; }
  Char NameValueSeparator() const { return nameValueSeparator_; }
  void SetNameValueSeparator(Char c) { nameValueSeparator_ = c; }

  // Nested; the list reports one change when the outermost update ends.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  // Same strings in the same order (objects are not compared).
  bool Equals(const TStrings* strings) const;
  std::vector<String> ToVector() const;

  void Assign(const TPersistent* source) override;

 protected:
  virtual String Get(int index) const = 0;
  virtual void SetUpdateState(bool updating);
  virtual int CompareStrings(const String& a, const String& b) const;
  // Raises EStringListError("List index out of bounds (%d)").
  [[noreturn]] void IndexError(int index) const;

 private:
  int updateCount_ = 0;
  Char nameValueSeparator_ = u'=';
  String lineBreak_ = u"\n";
};

class TStringList : public TStrings {
 public:
  using TCompare = std::function<int(const TStringList* list, int index1, int index2)>;

  TStringList();
  ~TStringList() override;
  String ClassName() const override;

  // On a sorted list Add finds the place by Find; a string already there is ignored
  // (dupIgnore, returning the existing index), added (dupAccept) or refused with
  // EStringListError (dupError).
  int Add(const String& s) override;
  int AddObject(const String& s, TObject* object) override;
  // Insert and Put raise EStringListError on a sorted list.
  void Insert(int index, const String& s) override;
  void Put(int index, const String& s) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int index1, int index2) override;
  int Count() const override { return static_cast<int>(items_.size()); }
  TObject* Objects(int index) const override;
  void PutObject(int index, TObject* object) override;
  int IndexOf(const String& s) const override;

  // Binary search of a sorted list: true and the first matching index, or false and the
  // index where S would go.
  virtual bool Find(const String& s, int& index) const;
  // Stable sort by CompareStrings.
  virtual void Sort();
  virtual void CustomSort(const TCompare& compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool caseSensitive);
  // When set, the list deletes its objects when their lines go or the list is destroyed.
  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool owns) { ownsObjects_ = owns; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  String Get(int index) const override;
  void SetUpdateState(bool updating) override;
  // CompareText, or an exact code-unit comparison when CaseSensitive.
  int CompareStrings(const String& a, const String& b) const override;
  virtual void Changed();
  virtual void Changing();
  void InsertItem(int index, const String& s, TObject* object);

 private:
  struct Item {
    String text;
    TObject* object = nullptr;
  };
  void CheckIndex(int index) const;
  std::vector<Item> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  bool ownsObjects_ = false;
  TDuplicates duplicates_ = dupIgnore;
};

enum TSeekOrigin { soBeginning, soCurrent, soEnd };
constexpr TSeekOrigin soFromBeginning = soBeginning;
constexpr TSeekOrigin soFromCurrent = soCurrent;
constexpr TSeekOrigin soFromEnd = soEnd;

class TStream : public TObject {
 public:
  String ClassName() const override;
  // Transfer up to Count bytes; the result is the number moved.
  virtual int Read(void* buffer, int count) = 0;
  virtual int Write(const void* buffer, int count) = 0;
  // The new position from the beginning.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

  virtual std::int64_t Position() const;
  void SetPosition(std::int64_t position) { Seek(position, soBeginning); }
  virtual std::int64_t Size() const;
  virtual void SetSize(std::int64_t size);

  // All or nothing: a short transfer raises EReadError("Stream read error") or
  // EWriteError("Stream write error").
  void ReadBuffer(void* buffer, int count);
  void WriteBuffer(const void* buffer, int count);
  // Copies Count bytes from Source's position; a Count of 0 copies the whole of Source from
  // its beginning. Returns the bytes copied.
  std::int64_t CopyFrom(TStream* source, std::int64_t count);
};

// A growable block of memory; reading past its end transfers nothing.
class TMemoryStream : public TStream {
 public:
  TMemoryStream();
  ~TMemoryStream() override;
  String ClassName() const override;
  int Read(void* buffer, int count) override;
  int Write(const void* buffer, int count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Position() const override { return position_; }
  std::int64_t Size() const override { return static_cast<std::int64_t>(data_.size()); }
  // Growing fills with zero bytes; a position beyond a smaller size moves to its end.
  void SetSize(std::int64_t size) override;

  void* Memory() { return data_.data(); }
  const void* Memory() const { return data_.data(); }
  void Clear();
  void LoadFromStream(TStream* stream);
  void SaveToStream(TStream* stream) const;
  // Reads the whole file, a regular one (EFOpenError "Cannot open file \"<path>\": <why>" when
  // it cannot be read).
  void LoadFromFile(const String& fileName);
  // Replaces the file whole or, failing, leaves it as it was and raises
  // EFCreateError("Cannot create file \"<path>\": <why>").
  void SaveToFile(const String& fileName) const;

 private:
  std::vector<std::uint8_t> data_;
  std::int64_t position_ = 0;
};

constexpr std::uint16_t fmOpenRead = 0x0000;
constexpr std::uint16_t fmOpenWrite = 0x0001;
constexpr std::uint16_t fmOpenReadWrite = 0x0002;
constexpr std::uint16_t fmShareCompat = 0x0000;
constexpr std::uint16_t fmShareExclusive = 0x0010;
constexpr std::uint16_t fmShareDenyWrite = 0x0020;
constexpr std::uint16_t fmShareDenyRead = 0x0030;
constexpr std::uint16_t fmShareDenyNone = 0x0040;
// Creates the file or empties an existing one, open for reading and writing.
constexpr std::uint16_t fmCreate = 0xFF00;

// A stream on an operating-system file, a regular one: a FIFO, device, socket or folder is
// refused at once, never waited on. Share modes are accepted and not enforced.
class TFileStream : public TStream {
 public:
  // EFCreateError("Cannot create file \"<path>\": <why>") or EFOpenError("Cannot open file
  // \"<path>\": <why>"), the path as the system names it and the reason in its words.
  TFileStream(const String& fileName, std::uint16_t mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  String ClassName() const override;
  int Read(void* buffer, int count) override;
  int Write(const void* buffer, int count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  // EWriteError when the file cannot be resized.
  void SetSize(std::int64_t size) override;
  const String& FileName() const { return fileName_; }
  int Handle() const { return fd_; }

 private:
  String fileName_;
  int fd_ = -1;
};

// A memory stream over UTF-8 text.
class TStringStream : public TMemoryStream {
 public:
  explicit TStringStream(const String& text = String());
  String ClassName() const override;
  String DataString() const;
};
