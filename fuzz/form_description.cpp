// Form descriptions: parsing never crashes, the text form is a fixed point of parse-and-format,
// and reading into a root either succeeds or raises a read error having freed what it made.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "Components.h"
#include "FormDescriptions.h"
#include "Streaming.h"
#include "TypInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = [] {
    RegisterClass(u"TComponent", [](TComponent* owner) { return new TComponent(owner); });
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
  return 0;
}
