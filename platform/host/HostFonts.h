#pragma once
// Font services of the host: realising a requested font on an installed family, its metrics,
// integer advances and 8-bit coverage masks of its glyphs. Results are cached for the run, so
// the pointers handed out stay valid until the program ends. No Qt type appears here.
// A face drawn with a stand-in family reports the cell of the face asked for where its design
// metrics are known, so layouts keep the sizes they were designed with.
#include <cstdint>
#include <string>
#include <vector>

struct HostFontRequest {
  std::u16string face;  // the platform's face name ("Tahoma", "Courier New", "Marlett" ...)
  int height = 0;       // < 0: em height in pixels; > 0: cell height; 0: default
  int width = 0;        // average character width, 0 for the natural one
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int charSet = 0;
  int pitchAndFamily = 0;
  bool antialias = true;
  friend bool operator==(const HostFontRequest&, const HostFontRequest&) = default;
};

struct HostFontMetrics {
  int height = 0;  // ascent + descent
  int ascent = 0;
  int descent = 0;
  int internalLeading = 0;  // height - em size
  int externalLeading = 0;
  int aveCharWidth = 0;
  int maxCharWidth = 0;
  int weight = 400;
  bool italic = false;
  bool fixedPitch = false;
  int underlinePosition = 0;  // pixels below the baseline of the underline's top row
  int lineThickness = 1;      // of underline and strike-out
  int strikeOutPosition = 0;  // pixels above the baseline of the strike-out's top row
  std::u16string family;      // the installed family used
};

// A glyph's coverage mask, placed relative to the pen position on the baseline.
struct HostGlyph {
  int advance = 0;
  int left = 0;  // mask column 0 is at pen x + left
  int top = 0;   // mask row 0 is at baseline + top (negative: above the baseline)
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> coverage;  // width * height, 0..255
};

// A whole run drawn rotated, placed relative to the run's origin on the baseline.
struct HostMask {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> coverage;
};

class HostFont;

const HostFont* HostRealizeFont(const HostFontRequest& request);
const HostFontMetrics& HostGetFontMetrics(const HostFont* font);
// The advance of one character, without rendering it.
int HostGetAdvance(const HostFont* font, char32_t ch);
// The glyph of one character (a code point; Marlett's characters come back as their symbols).
const HostGlyph& HostGetGlyph(const HostFont* font, char32_t ch);
// The family a face name maps to on this machine.
std::u16string HostMapFamily(const std::u16string& face);
// Draws chars with the given integer advances (pixels) along a baseline turned by angle degrees
// counter-clockwise (as seen on screen); underline and strike-out as the font has them.
HostMask HostRenderRun(const HostFont* font, const std::u32string& chars,
                       const std::vector<int>& advances, double angleDegrees);
