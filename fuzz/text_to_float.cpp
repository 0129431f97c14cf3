// Text to float: any text either fails cleanly or gives a finite value whose general form
// reads back to (nearly) the same value.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "Numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  TFormatSettings fs;
  // The first byte picks the separators, so both usual conventions get exercised.
  if (data[0] & 1) {
    fs.DecimalSeparator = u',';
    fs.ThousandSeparator = u'.';
  }
  String text = FromUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));

  Extended v = 0;
  bool ok = TryStrToFloat(text, v, fs);
  if (StrToFloatDef(text, -7, fs) != (ok ? v : -7) && !(ok && std::isnan(v))) std::abort();
  if (!ok) return 0;
  if (!std::isfinite(v)) std::abort();  // NaN and overflow must be refused

  Extended back = 0;
  String general = FloatToStr(v, fs);
  if (!TryStrToFloat(general, back, fs)) std::abort();
  // 15 significant digits, plus the subnormals' coarser spacing.
  if (std::fabs(back - v) > std::fabs(v) * 1e-14L + 4 * std::numeric_limits<Extended>::denorm_min())
    std::abort();

  Extended back18 = 0;
  String exact = FloatToStrF(v, ffExponent, 18, 0, fs);
  if (TryStrToFloat(exact, back18, fs) &&
      std::fabs(back18 - v) >
          std::fabs(v) * 1e-17L + 4 * std::numeric_limits<Extended>::denorm_min())
    std::abort();

  int i = 0;
  std::int64_t i64 = 0;
  TryStrToInt(text, i);
  TryStrToInt64(text, i64);
  return 0;
}
