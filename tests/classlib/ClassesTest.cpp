#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "Classes.h"
#include "Files.h"
#include "TestSupport.h"

namespace {

using V = std::vector<String>;

struct Counted : TObject {
  explicit Counted(int* deaths) : deaths_(deaths) {}
  ~Counted() override { ++*deaths_; }
  int* deaths_;
};

struct Pen : TPersistent {
  String ClassName() const override { return u"TPen"; }
};

TEST(Persistent, AssignCopiesListsAndRefusesStrangers) {
  TStringList a, b;
  a.SetNameValueSeparator(u':');
  a.Add(u"k:v");
  b.Add(u"old");
  b.Assign(&a);
  EXPECT_EQ(b.ToVector(), V{u"k:v"});
  EXPECT_EQ(b.Values(u"K"), u"v");  // the separator came along

  Pen pen;
  EXPECT_EQ(MessageOf<EConvertError>([&] { b.Assign(&pen); }),
            u"Cannot assign a TPen to a TStringList");
  EXPECT_EQ(MessageOf<EConvertError>([&] { pen.Assign(&b); }),
            u"Cannot assign a TStringList to a TPen");
  EXPECT_EQ(MessageOf<EConvertError>([&] { b.Assign(nullptr); }),
            u"Cannot assign a nil to a TStringList");
  EXPECT_EQ(b.ToVector(), V{u"k:v"});
}

TEST(Strings, NamesAndValues) {
  TStringList l;
  l.SetText(u"Alpha=1\nplain\nbeta=x=y\n=empty name\n");
  EXPECT_EQ(l.IndexOfName(u"ALPHA"), 0);
  EXPECT_EQ(l.Values(u"beta"), u"x=y");
  EXPECT_EQ(l.Names(1), u"");
  EXPECT_EQ(l.ValueFromIndex(1), u"");  // a line without separator has no value
  EXPECT_EQ(l.IndexOfName(u"plain"), -1);
  EXPECT_EQ(l.Values(u""), u"empty name");

  l.SetValue(u"alpha", u"2");  // replaced in place, keeping the given name
  l.SetValue(u"gamma", u"3");  // appended
  l.SetValue(u"beta", u"");    // removed
  EXPECT_EQ(l.ToVector(), (V{u"alpha=2", u"plain", u"=empty name", u"gamma=3"}));
}

TEST(Strings, TextJoinsAndSplitsEveryLineBreak) {
  TStringList l;
  l.SetText(u"a\r\nb\nc\rd\r\n\r\ne");
  EXPECT_EQ(l.ToVector(), (V{u"a", u"b", u"c", u"d", u"", u"e"}));
  l.SetText(u"x\n");
  EXPECT_EQ(l.Count(), 1);
  l.SetText(u"\n\n");
  EXPECT_EQ(l.ToVector(), (V{u"", u""}));
  l.SetText(u"");
  EXPECT_EQ(l.Count(), 0);
  l.SetText(u"one\r\ntwo");
  EXPECT_EQ(l.Text(), u"one\ntwo\n");
}

TEST(StringList, SortedListHonoursDuplicates) {
  TStringList l;
  l.SetSorted(true);
  EXPECT_EQ(l.Add(u"m"), 0);
  EXPECT_EQ(l.Add(u"b"), 0);
  EXPECT_EQ(l.Add(u"z"), 2);
  EXPECT_EQ(l.Add(u"M"), 1);  // ignored: same as "m" without case
  EXPECT_EQ(l.Count(), 3);

  l.SetDuplicates(dupError);
  EXPECT_EQ(MessageOf<EStringListError>([&] { l.Add(u"B"); }),
            u"String list does not allow duplicates");
  l.SetDuplicates(dupAccept);
  l.Add(u"B");
  EXPECT_EQ(l.Count(), 4);
  int at = -1;
  EXPECT_TRUE(l.Find(u"b", at));
  EXPECT_EQ(at, 0);  // the first of the equal ones
  EXPECT_FALSE(l.Find(u"n", at));
  EXPECT_EQ(at, 3);
  EXPECT_EQ(l.IndexOf(u"Z"), 3);

  EXPECT_EQ(MessageOf<EStringListError>([&] { l.Insert(0, u"a"); }),
            u"Operation not allowed on sorted list");
  EXPECT_THROW(l.Put(0, u"a"), EStringListError);
}

TEST(StringList, SortOrderIsAsciiCaseFoldedAndStable) {
  TStringList l;
  for (auto s : {u"b", u"_x", u"A", u"a", u"B1"}) l.Add(s);
  l.Sort();
  // "_" sorts after the letters, since letters compare upper-cased.
  EXPECT_EQ(l.ToVector(), (V{u"A", u"a", u"b", u"B1", u"_x"}));
  l.SetSorted(true);
  l.SetCaseSensitive(true);
  EXPECT_EQ(l.ToVector(), (V{u"A", u"B1", u"_x", u"a", u"b"}));
  EXPECT_EQ(l.IndexOf(u"B1"), 1);
  EXPECT_EQ(l.IndexOf(u"b1"), -1);
}

TEST(StringList, ChangeEventsFireOnceForAnUpdate) {
  TStringList l;
  int changing = 0, changed = 0;
  l.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &l);
    ++changing;
  };
  l.OnChange = [&](TObject*) { ++changed; };
  l.Add(u"a");
  EXPECT_EQ(changing, 1);
  EXPECT_EQ(changed, 1);
  l.BeginUpdate();
  l.BeginUpdate();
  l.Add(u"b");
  l.Delete(0);
  l.EndUpdate();
  EXPECT_EQ(changed, 1);
  l.EndUpdate();
  EXPECT_EQ(changing, 2);
  EXPECT_EQ(changed, 2);
  l.EndUpdate();  // unbalanced: no event, no underflow
  EXPECT_EQ(changed, 2);
  EXPECT_EQ(l.UpdateCount(), 0);
}

TEST(StringList, IndexErrorsAndOwnedObjects) {
  TStringList l;
  l.Add(u"a");
  EXPECT_EQ(MessageOf<EStringListError>([&] { l.Delete(5); }), u"List index out of bounds (5)");
  EXPECT_THROW(l.Strings(-1), EStringListError);
  EXPECT_THROW(l.Insert(2, u"x"), EStringListError);
  EXPECT_THROW(l.Objects(1), EStringListError);

  int deaths = 0;
  {
    TStringList owner;
    owner.SetOwnsObjects(true);
    owner.AddObject(u"one", new Counted(&deaths));
    owner.AddObject(u"two", new Counted(&deaths));
    owner.AddObject(u"three", new Counted(&deaths));
    TObject* two = owner.Objects(1);
    owner.Move(1, 2);
    EXPECT_EQ(owner.Objects(2), two);
    EXPECT_EQ(owner.ToVector(), (V{u"one", u"three", u"two"}));
    owner.Delete(0);
    EXPECT_EQ(deaths, 1);
  }
  EXPECT_EQ(deaths, 3);
}

TEST(StringList, AddStringsToItselfEnds) {
  TStringList l;
  l.SetText(u"a\nb");
  l.AddStrings(&l);
  EXPECT_EQ(l.ToVector(), (V{u"a", u"b", u"a", u"b"}));
  TStringList other;
  other.Assign(&l);
  EXPECT_TRUE(other.Equals(&l));
  other.Put(0, u"A");
  EXPECT_FALSE(other.Equals(&l));
}

TEST(MemoryStream, ReadWriteSeekAndSize) {
  TMemoryStream m;
  m.WriteBuffer("hello", 5);
  EXPECT_EQ(m.Size(), 5);
  EXPECT_EQ(m.Seek(-2, soEnd), 3);
  char buf[8] = {};
  EXPECT_EQ(m.Read(buf, 8), 2);  // short read at the end
  EXPECT_EQ(std::string(buf, 2), "lo");
  EXPECT_EQ(m.Read(buf, 8), 0);

  m.SetPosition(8);  // writing past the end fills the gap with zeros
  m.WriteBuffer("!", 1);
  ASSERT_EQ(m.Size(), 9);
  EXPECT_EQ(std::string(static_cast<const char*>(m.Memory()), 9), std::string("hello\0\0\0!", 9));

  m.SetSize(2);
  EXPECT_EQ(m.Position(), 2);
  m.SetPosition(0);
  EXPECT_THROW(m.ReadBuffer(buf, 3), EReadError);

  m.Seek(-10, soBeginning);  // outside the data: transfers nothing, breaks nothing
  EXPECT_EQ(m.Read(buf, 1), 0);
  EXPECT_EQ(m.Write("x", 1), 0);
  EXPECT_THROW(m.WriteBuffer("x", 1), EWriteError);
  m.Seek(INT64_MAX, soBeginning);
  EXPECT_EQ(m.Write("x", 1), 0);
  EXPECT_EQ(m.Size(), 2);
}

TEST(MemoryStream, CopyFromAndFiles) {
  TStringStream src(u"Grüße");
  src.SetPosition(3);
  TMemoryStream m;
  EXPECT_EQ(m.CopyFrom(&src, 0), 7);  // 0 = all of it, from the start
  EXPECT_EQ(m.Size(), 7);
  src.SetPosition(1);
  EXPECT_EQ(m.CopyFrom(&src, 2), 2);
  EXPECT_THROW(m.CopyFrom(&src, 100), EReadError);

  TempDir dir;
  String path = dir.path() + u"blob.bin";
  m.SaveToFile(path);
  TMemoryStream back;
  back.LoadFromFile(path);
  ASSERT_EQ(back.Size(), m.Size());
  EXPECT_EQ(0, std::memcmp(back.Memory(), m.Memory(), static_cast<std::size_t>(m.Size())));

  SetWriteFailureForTesting(true);
  TStringStream other(u"replacement");
  String msg = MessageOf<EFCreateError>([&] { other.SaveToFile(path); });
  SetWriteFailureForTesting(false);
  EXPECT_EQ(ToUtf8(msg),
            "Cannot create file \"" + dir.os() + "/blob.bin\": No space left on device");
  EXPECT_EQ(dir.read("blob.bin").size(), 9u);  // the old file stayed whole

  EXPECT_EQ(ToUtf8(MessageOf<EFOpenError>([&] { back.LoadFromFile(dir.path() + u"none"); })),
            "Cannot open file \"" + dir.os() + "/none\": No such file or directory");
}

TEST(FileStream, ModesAndErrors) {
  TempDir dir;
  String path = dir.path() + u"f.dat";
  {
    TFileStream f(path, fmCreate);
    f.WriteBuffer("abcdef", 6);
    f.SetSize(4);
    EXPECT_EQ(f.Position(), 4);
    EXPECT_EQ(f.Size(), 4);
  }
  EXPECT_EQ(dir.read("f.dat"), "abcd");
  {
    TFileStream f(path, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(f.Write("z", 1), 0);
    char buf[4];
    f.Seek(1, soBeginning);
    f.ReadBuffer(buf, 3);
    EXPECT_EQ(std::string(buf, 3), "bcd");
    EXPECT_THROW(f.ReadBuffer(buf, 1), EReadError);
  }
  {
    TFileStream f(path, fmOpenReadWrite);
    f.Seek(0, soEnd);
    f.WriteBuffer("e", 1);
  }
  EXPECT_EQ(dir.read("f.dat"), "abcde");

  // Messages name the file as the system does and say why.
  EXPECT_EQ(
      ToUtf8(MessageOf<EFOpenError>([&] { TFileStream(dir.path() + u"missing", fmOpenRead); })),
      "Cannot open file \"" + dir.os() + "/missing\": No such file or directory");
  EXPECT_EQ(ToUtf8(MessageOf<EFOpenError>([&] { TFileStream(dir.path(), fmOpenRead); })),
            "Cannot open file \"" + dir.os() + "/\": not a regular file");
  EXPECT_EQ(
      ToUtf8(MessageOf<EFCreateError>([&] { TFileStream(dir.path() + u"no\\x.dat", fmCreate); })),
      "Cannot create file \"" + dir.os() + "/no/x.dat\": No such file or directory");
  // A FIFO is refused at once instead of waiting for a writer that never comes.
  ASSERT_EQ(mkfifo((dir.os() + "/fifo").c_str(), 0600), 0);
  EXPECT_EQ(ToUtf8(MessageOf<EFOpenError>([&] { TFileStream(dir.path() + u"fifo", fmOpenRead); })),
            "Cannot open file \"" + dir.os() + "/fifo\": not a regular file");
}

}  // namespace
