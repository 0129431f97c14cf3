// Float formatting: any pattern and any extended value format without fault; the fixed and
// general forms read back to the value they show.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

#include "Numbers.h"

namespace {

// Builds every kind of extended value from the input without touching invalid bit patterns.
Extended ValueFrom(const uint8_t* d) {
  std::uint64_t mantissa;
  std::memcpy(&mantissa, d, 8);
  std::int16_t exp;
  std::memcpy(&exp, d + 8, 2);
  switch (d[10] % 16) {
    case 0: return std::numeric_limits<Extended>::quiet_NaN();
    case 1:
      return (d[10] & 16) ? -std::numeric_limits<Extended>::infinity()
                          : std::numeric_limits<Extended>::infinity();
    case 2:
      return static_cast<Extended>(static_cast<std::int64_t>(mantissa % 2000001) - 1000000) /
             8;  // halves
    case 3:
      return static_cast<Extended>(static_cast<std::int64_t>(mantissa % 20000001) - 10000000) /
             1000;
    default: break;
  }
  Extended v = std::ldexp(static_cast<Extended>(mantissa), exp % 16500 - 64);
  return (d[10] & 16) ? -v : v;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 13) return 0;
  Extended v = ValueFrom(data);
  TFormatSettings fs;
  if (data[11] & 1) {
    fs.DecimalSeparator = u',';
    fs.ThousandSeparator = u'.';
  }
  const int precision = data[11] >> 1;  // beyond 18 on purpose: must be clamped
  const int digits = data[12] % 24;
  String format = FromUtf8(std::string_view(reinterpret_cast<const char*>(data + 13), size - 13));

  String shown = FormatFloat(format, v, fs);
  Check(shown.size() <= format.size() * 8 + 64);

  String general = FloatToStr(v, fs);
  if (std::isnan(v)) {
    Check(general == u"NAN");
    return 0;
  }
  if (std::isinf(v)) {
    Check(general == (v < 0 ? u"-INF" : u"INF"));
    return 0;
  }
  Extended back = 0;
  Check(TryStrToFloat(general, back, fs));
  Check(std::fabs(back - v) <=
        std::fabs(v) * 1e-14L + 4 * std::numeric_limits<Extended>::denorm_min());
  Check(general.find(u'-') != 0 || v < 0);

  for (TFloatFormat f : {ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency})
    FloatToStrF(v, f, precision, digits, fs);

  if (std::fabs(v) < 1e15L) {
    // Fixed with d decimals is off by at most half a unit of the last decimal shown.
    const int d = digits % 19;
    String fixed = FloatToStrF(v, ffFixed, 18, d, fs);
    Check(TryStrToFloat(fixed, back, fs));
    Check(std::fabs(back - v) <= 0.5L * std::pow(10.0L, -d) + std::fabs(v) * 1e-17L);
    // The same rounding through a pattern.
    String pattern = d ? u"0." + String(static_cast<std::size_t>(d), u'0') : String(u"0");
    Check(FormatFloat(pattern, v, fs) == fixed);
  }
  return 0;
}
