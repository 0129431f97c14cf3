// Form descriptions: parsing never crashes, the text form is a fixed point of parse-and-format,
// and reading into a root either succeeds or raises a read error having freed what it made. A
// bitmap read from Glyph.Data writes back data that reads to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "Components.h"
#include "FormDescriptions.h"
#include "Graphics.h"
#include "Streaming.h"
#include "TypInfo.h"

namespace {

class TGlyphHolder : public TComponent {
 public:
  explicit TGlyphHolder(TComponent* owner) : TComponent(owner) {}
  String ClassName() const override { return u"TGlyphHolder"; }
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(const TBitmap* glyph) { glyph_->Assign(glyph); }

 private:
  std::unique_ptr<TBitmap> glyph_ = std::make_unique<TBitmap>();
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = [] {
    RegisterClass(u"TComponent", [](TComponent* owner) { return new TComponent(owner); });
    Published<TGlyphHolder>(u"TGlyphHolder", u"TComponent")
        .Creatable()
        .Object(u"Glyph", &TGlyphHolder::Glyph, &TGlyphHolder::SetGlyph);
    return true;
  }();
  (void)registered;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  TFormDescription d;
  try {
    d = ParseFormDescription(text, u"fuzz.form");
  } catch (const EReadError&) {
    return 0;
  }
  String once;
  try {
    once = FormDescriptionToText(d);
  } catch (const EWriteError&) {
    return 0;  // a value with no text form (an infinite float)
  }
  String twice = FormDescriptionToText(ParseFormDescription(once, u"fuzz.form"));
  if (once != twice) std::abort();
  TComponent root(nullptr);
  try {
    ReadComponentDescription(d, &root);
  } catch (const EReadError&) {
    if (root.ComponentCount() != 0) std::abort();
  }
  TGlyphHolder holder(nullptr);
  try {
    ReadComponentDescription(d, &holder);
  } catch (const EReadError&) {
    return 0;
  }
  String written = WriteComponentText(&holder);
  TGlyphHolder back(nullptr);
  ReadComponentText(written, u"written", &back);
  if (WriteComponentText(&back) != written) std::abort();
  return 0;
}
