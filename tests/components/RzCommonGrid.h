#pragma once
// Pixel pictures for the painters' tests: a small bitmap in a known background, read back as
// rows of letters through a legend, so a failure prints what was drawn next to what was meant.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "Colors.h"
#include "Graphics.h"

namespace rzgrid {

// System colours made distinct from one another (the classic scheme shares values).
struct DistinctSystemColors {
  static constexpr COLORREF kFace = 0xC0C0C0, kShadow = 0x808080, kHighlight = 0xFFFFFF,
                            kDkShadow = 0x404040, kLight = 0xE0E0E0, kText = 0x800000,
                            kWindow = 0xF0FFFF;
  DistinctSystemColors() {
    const int idx[] = {COLOR_BTNFACE,  COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW,
                       COLOR_3DLIGHT, COLOR_BTNTEXT,   COLOR_WINDOW};
    const COLORREF val[] = {kFace, kShadow, kHighlight, kDkShadow, kLight, kText, kWindow};
    SetSysColors(7, idx, val);
  }
  ~DistinctSystemColors() { ResetSysColors(); }
};

constexpr TColor kBackground = 0x00FF00FF;

using Legend = std::vector<std::pair<char, TColor>>;

// '.' is the background; the system letters follow DistinctSystemColors.
inline Legend SystemLegend() {
  return {{'.', kBackground}, {'f', clBtnFace},   {'s', clBtnShadow}, {'h', clBtnHighlight},
          {'d', cl3DDkShadow}, {'l', cl3DLight}, {'t', clBtnText},   {'w', clWindow}};
}

inline Legend With(Legend legend, std::initializer_list<std::pair<char, TColor>> more) {
  legend.insert(legend.end(), more.begin(), more.end());
  return legend;
}

class Picture {
 public:
  Picture(int width, int height) : bmp_(width, height) {
    bmp_.Canvas()->Brush()->SetColor(kBackground);
    bmp_.Canvas()->FillRect(Rect(0, 0, width, height));
  }
  TCanvas* Canvas() { return bmp_.Canvas(); }
  TBitmap& Bitmap() { return bmp_; }
  TColor At(int x, int y) { return bmp_.Canvas()->Pixels(x, y); }

  std::vector<std::string> Rows(const Legend& legend) {
    std::vector<std::string> rows;
    for (int y = 0; y < bmp_.Height(); ++y) {
      std::string row;
      for (int x = 0; x < bmp_.Width(); ++x) row += Letter(At(x, y), legend);
      rows.push_back(row);
    }
    return rows;
  }

 private:
  static char Letter(TColor c, const Legend& legend) {
    for (const auto& [ch, color] : legend)
      if (ColorToRGB(color) == c) return ch;
    return '?';
  }
  TBitmap bmp_;
};

inline std::string Show(const std::vector<std::string>& rows) {
  std::string s;
  for (const auto& r : rows) s += "    " + r + "\n";
  return s;
}

inline ::testing::AssertionResult Looks(Picture& pic, const Legend& legend,
                                        const std::vector<std::string>& expected) {
  std::vector<std::string> got = pic.Rows(legend);
  if (got == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\n  expected:\n"
                                       << Show(expected) << "  painted:\n"
                                       << Show(got);
}

inline std::string RectText(const TRect& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
         std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

}  // namespace rzgrid

#define EXPECT_RECT(r, l, t, rt, b) \
  EXPECT_EQ(rzgrid::RectText(r), rzgrid::RectText(Rect(l, t, rt, b)))
