// INI text of any bytes: decoding, parsing, lookups and edits must never fault, and the
// document must keep its shape through a write and a re-read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "IniDocument.h"

using namespace korv_ini;

namespace {
void Check(bool ok) {
  if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TextEncoding encoding;
  std::string tail;
  String text = DecodeText(bytes, encoding, &tail);

  // Re-encoding in the detected encoding gives the same bytes back, so lines nobody writes keep
  // them; and the same text.
  std::string again;
  Check(EncodeText(text, encoding, again, tail));
  Check(again == bytes);
  TextEncoding encoding2;
  Check(DecodeText(again, encoding2) == text);
  Check(encoding2 == encoding);

  Document doc(text);
  std::vector<String> sections = doc.SectionNames();
  for (const String& s : sections) {
    Check(doc.HasSection(s));
    for (const String& k : doc.KeyNames(s)) {
      String raw;
      Check(doc.FindValue(s, k, raw));
      CookValue(raw);
    }
  }

  // Every line ends in "\r\n" once forced, so a re-read finds the same lines.
  Document crlf(doc.Serialize(true));
  Check(crlf.Lines().size() == doc.Lines().size());
  Check(crlf.SectionNames() == sections);

  // An edit is read back, and the rest of the document keeps its sections.
  const String section = sections.empty() ? String(u"Fuzz") : sections.front();
  doc.Set(section, u"FuzzKey", u" \"v\" ");
  String raw;
  Check(doc.FindValue(section, u"fuzzkey", raw));
  Check(CookValue(raw) == u"v");
  Document reread(doc.Serialize(false));
  Check(reread.SectionNames() == doc.SectionNames());
  Check(reread.KeyNames(section) == doc.KeyNames(section));

  if (sections.size() > 1) doc.EraseSection(sections[1]);
  doc.DeleteKey(section, u"FuzzKey");
  Check(!doc.FindValue(section, u"FuzzKey", raw));
  return 0;
}
