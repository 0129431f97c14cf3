// Bitmaps in form descriptions: Data = { hex } holds the BMP file's length and the file, written
// and read back pixel for pixel; malformed data is refused with the file and line.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FormDescriptions.h"
#include "Graphics.h"
#include "Streaming.h"
#include "TestSupport.h"

namespace {

// A component keeping one bitmap, published as Glyph.
class TGlyphHolder : public TComponent {
 public:
  explicit TGlyphHolder(TComponent* owner) : TComponent(owner) {}
  String ClassName() const override { return u"TGlyphHolder"; }
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(const TBitmap* glyph) { glyph_->Assign(glyph); }

 private:
  std::unique_ptr<TBitmap> glyph_ = std::make_unique<TBitmap>();
};

void RegisterGlyphHolder() {
  static const bool once = [] {
    Published<TGlyphHolder>(u"TGlyphHolder", u"TComponent")
        .Creatable()
        .Object(u"Glyph", &TGlyphHolder::Glyph, &TGlyphHolder::SetGlyph)
        .StoredIf([](TGlyphHolder* h) { return !h->Glyph()->Empty(); });
    return true;
  }();
  (void)once;
}

// Every pixel as the 32-bit word the bitmap holds, rows top-down.
std::vector<std::uint32_t> RawPixels(TBitmap& bitmap) {
  std::vector<std::uint32_t> pixels(std::size_t(bitmap.Width() * bitmap.Height()));
  BITMAPINFO info{};
  info.bmiHeader.biWidth = bitmap.Width();
  info.bmiHeader.biHeight = -bitmap.Height();
  info.bmiHeader.biBitCount = 32;
  EXPECT_EQ(
      GetDIBits(0, bitmap.Handle(), 0, UINT(bitmap.Height()), pixels.data(), &info, DIB_RGB_COLORS),
      bitmap.Height());
  return pixels;
}

void SetRawPixels(TBitmap& bitmap, const std::vector<std::uint32_t>& pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biWidth = bitmap.Width();
  info.bmiHeader.biHeight = -bitmap.Height();
  info.bmiHeader.biBitCount = 32;
  ASSERT_EQ(
      SetDIBits(0, bitmap.Handle(), 0, UINT(bitmap.Height()), pixels.data(), &info, DIB_RGB_COLORS),
      bitmap.Height());
}

String Hex(const std::vector<std::uint8_t>& bytes) {
  static const char16_t* digits = u"0123456789ABCDEF";
  String s;
  for (std::uint8_t b : bytes) {
    s += digits[b >> 4];
    s += digits[b & 15];
  }
  return s;
}

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(std::uint8_t(value >> (8 * i)));
}

// A BMP file made by hand, independently of the writer: headers, colour table, rows as given.
std::vector<std::uint8_t> BmpFile(int width, int height, int bpp,
                                  const std::vector<std::uint32_t>& table,
                                  const std::vector<std::uint8_t>& rows) {
  std::vector<std::uint8_t> f;
  const std::uint32_t offset = 54 + 4 * std::uint32_t(table.size());
  f.push_back('B');
  f.push_back('M');
  Put(f, offset + std::uint32_t(rows.size()), 4);
  Put(f, 0, 4);
  Put(f, offset, 4);
  Put(f, 40, 4);
  Put(f, std::uint32_t(width), 4);
  Put(f, std::uint32_t(height), 4);
  Put(f, 1, 2);
  Put(f, std::uint32_t(bpp), 2);
  Put(f, 0, 4);
  Put(f, std::uint32_t(rows.size()), 4);
  Put(f, 0, 4);
  Put(f, 0, 4);
  Put(f, std::uint32_t(table.size()), 4);
  Put(f, 0, 4);
  for (std::uint32_t c : table) Put(f, c, 4);
  f.insert(f.end(), rows.begin(), rows.end());
  return f;
}

// The Data value: the file's length in four little-endian bytes, then the file.
std::vector<std::uint8_t> DataOf(const std::vector<std::uint8_t>& file) {
  std::vector<std::uint8_t> data;
  Put(data, std::uint32_t(file.size()), 4);
  data.insert(data.end(), file.begin(), file.end());
  return data;
}

String DescriptionWith(const std::vector<std::uint8_t>& data) {
  return u"object H: TGlyphHolder\n  Glyph.Data = {\n    " + Hex(data) + u"}\nend\n";
}

class StreamingBitmap : public ::testing::Test {
 protected:
  void SetUp() override { RegisterGlyphHolder(); }
};

TEST_F(StreamingBitmap, SmallBitmapIsWrittenAsItsBmpFile) {
  TGlyphHolder holder(nullptr);
  holder.SetName(u"H");
  holder.Glyph()->SetPixelFormat(pf24bit);
  holder.Glyph()->SetSize(2, 2);
  TCanvas* c = holder.Glyph()->Canvas();
  c->SetPixels(0, 0, RGB(0x11, 0x22, 0x33));
  c->SetPixels(1, 0, RGB(0x44, 0x55, 0x66));
  c->SetPixels(0, 1, RGB(0x77, 0x88, 0x99));
  c->SetPixels(1, 1, RGB(0xAA, 0xBB, 0xCC));
  // Rows bottom-up, blue first, each padded to four bytes.
  const std::vector<std::uint8_t> rows = {0x99, 0x88, 0x77, 0xCC, 0xBB, 0xAA, 0, 0,
                                          0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0, 0};
  TFormDescription written = ParseFormDescription(WriteComponentText(&holder), u"written");
  ASSERT_EQ(written.Root.Properties.size(), 1u);
  EXPECT_EQ(written.Root.Properties[0].Name, u"Glyph.Data");
  EXPECT_EQ(written.Root.Properties[0].Value.Bytes, DataOf(BmpFile(2, 2, 24, {}, rows)));
}

TEST_F(StreamingBitmap, ColourAndMonochromeBitmapsComeBackPixelForPixel) {
  struct Case {
    TPixelFormat format;
    bool alphaKept;
  };
  for (Case c : {Case{pf24bit, false}, Case{pf32bit, true}, Case{pf1bit, false}}) {
    TGlyphHolder holder(nullptr);
    holder.SetName(u"H");
    holder.Glyph()->SetPixelFormat(c.format);
    holder.Glyph()->SetSize(13, 5);  // rows that need padding at every depth
    std::vector<std::uint32_t> pixels(13 * 5);
    for (std::size_t i = 0; i < pixels.size(); ++i)
      pixels[i] = c.format == pf1bit ? (i % 3 ? 0xFFFFFF : 0) : std::uint32_t(i * 0x03070B1D);
    SetRawPixels(*holder.Glyph(), pixels);
    const std::vector<std::uint32_t> before = RawPixels(*holder.Glyph());
    const String text = WriteComponentText(&holder);

    TGlyphHolder back(nullptr);
    ReadComponentText(text, u"Glyph.form", &back);
    SCOPED_TRACE(int(c.format));
    EXPECT_EQ(back.Glyph()->Width(), 13);
    EXPECT_EQ(back.Glyph()->Height(), 5);
    EXPECT_EQ(back.Glyph()->PixelFormat(), c.format);
    std::vector<std::uint32_t> after = RawPixels(*back.Glyph());
    if (!c.alphaKept) {
      for (auto* v : {&after, const_cast<std::vector<std::uint32_t>*>(&before)})
        for (std::uint32_t& p : *v) p &= 0xFFFFFF;
    }
    EXPECT_EQ(after, before);
    EXPECT_EQ(WriteComponentText(&back), text);
  }
}

TEST_F(StreamingBitmap, EmptyBitmapIsNotWritten) {
  TGlyphHolder holder(nullptr);
  holder.SetName(u"H");
  EXPECT_EQ(WriteComponentText(&holder), u"object H: TGlyphHolder\nend\n");
}

TEST_F(StreamingBitmap, PalettedBitmapsAreRead) {
  const std::uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, grey = 0x808080;
  struct Case {
    int bpp;
    std::vector<std::uint32_t> table;
    std::vector<std::uint8_t> rows;  // 3 x 2, bottom row first
    TPixelFormat format;
  };
  const Case cases[] = {
      // Bottom row: red green red; top row: green red green.
      {1, {red, green}, {0x40, 0, 0, 0, 0xA0, 0, 0, 0}, pfCustom},
      // Bottom: red green blue; top: grey blue green.
      {4, {red, green, blue, grey}, {0x01, 0x20, 0, 0, 0x32, 0x10, 0, 0}, pf4bit},
      {8, {red, green, blue, grey}, {0, 1, 2, 0, 3, 2, 1, 0}, pf8bit},
  };
  const std::vector<std::vector<std::uint32_t>> expected = {
      {green, red, green, red, green, red},
      {grey, blue, green, red, green, blue},
      {grey, blue, green, red, green, blue},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    TGlyphHolder holder(nullptr);
    ReadComponentText(DescriptionWith(DataOf(BmpFile(3, 2, c.bpp, c.table, c.rows))),
                      u"Palette.form", &holder);
    SCOPED_TRACE(c.bpp);
    std::vector<std::uint32_t> got = RawPixels(*holder.Glyph());
    for (std::uint32_t& p : got) p &= 0xFFFFFF;
    EXPECT_EQ(got, expected[i]);
    EXPECT_EQ(holder.Glyph()->PixelFormat(), c.format);
    EXPECT_FALSE(holder.Glyph()->Monochrome());
  }
  // A black-and-white table is a monochrome bitmap.
  TGlyphHolder mono(nullptr);
  ReadComponentText(
      DescriptionWith(DataOf(BmpFile(3, 2, 1, {0, 0xFFFFFF}, {0x40, 0, 0, 0, 0xA0, 0, 0, 0}))),
      u"Mono.form", &mono);
  EXPECT_TRUE(mono.Glyph()->Monochrome());
  EXPECT_EQ(mono.Glyph()->Canvas()->Pixels(0, 0), clWhite);
  EXPECT_EQ(mono.Glyph()->Canvas()->Pixels(1, 0), clBlack);
}

TEST_F(StreamingBitmap, MalformedDataNamesFileAndLineAndLeavesTheBitmap) {
  const std::vector<std::uint8_t> good =
      BmpFile(2, 1, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0});  // 2 x 1, one padded row
  const std::vector<std::uint8_t> paletted = BmpFile(2, 1, 8, {0xFF0000, 0x00FF00}, {0, 1, 0, 0});
  auto change = [](std::vector<std::uint8_t> f, std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) f[at + std::size_t(i)] = std::uint8_t(value >> (8 * i));
    return f;
  };
  auto with = [&](std::size_t at, std::uint32_t value, int bytes) {
    return change(good, at, value, bytes);
  };
  std::vector<std::uint8_t> truncated = good;
  truncated.pop_back();
  struct Case {
    const char* what;
    std::vector<std::uint8_t> data;
  };
  const std::vector<Case> cases = {
      {"not a BMP", DataOf(with(0, 'X', 1))},
      {"cut short", DataOf(truncated)},
      {"length longer than the data",
       [&] {
         auto d = DataOf(good);
         d[0] += 1;
         return d;
       }()},
      {"length shorter than the data",
       [&] {
         auto d = DataOf(good);
         d.push_back(0);
         return d;
       }()},
      {"no length", {0x42, 0x4D}},
      {"unknown depth", DataOf(with(28, 7, 2))},
      {"compressed", DataOf(with(30, 1, 4))},
      {"two planes", DataOf(with(26, 2, 2))},
      {"negative width", DataOf(with(18, 0xFFFFFFFE, 4))},
      {"huge height", DataOf(with(22, 0x7FFFFFFF, 4))},
      {"pixels past the end", DataOf(with(10, 0xFFFFFFF0, 4))},
      {"header past the end", DataOf(with(14, 0x10000, 4))},
      {"colour table past the end", DataOf(change(paletted, 46, 256, 4))},
      {"more colours than the depth has",
       DataOf(BmpFile(2, 1, 1, {0xFF0000, 0x00FF00, 0x0000FF}, {0x40, 0, 0, 0}))},
  };
  for (const Case& c : cases) {
    TGlyphHolder holder(nullptr);
    holder.Glyph()->SetSize(4, 4);
    String message = MessageOf<EReadError>(
        [&] { ReadComponentText(DescriptionWith(c.data), u"Bad.form", &holder); });
    EXPECT_EQ(message.substr(0, 12), u"Bad.form(2):") << c.what << ": " << ToUtf8(message);
    EXPECT_EQ(holder.Glyph()->Width(), 4) << c.what;
    EXPECT_EQ(holder.Glyph()->Height(), 4) << c.what;
  }
}

}  // namespace
