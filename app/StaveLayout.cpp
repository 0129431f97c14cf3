#include "StaveLayout.h"

#include "Numbers.h"

TStaveLayout MakeStaveLayout(Extended staves, Extended groups, Extended staveHeight,
                             Extended gapHeight, Extended topMargin) {
  TStaveLayout l;
  l.NStaves = static_cast<int>(Trunc(staves));
  l.StaveH = static_cast<double>(staveHeight);
  l.GapH = static_cast<double>(gapHeight);
  l.GroupStaves = static_cast<int>(Trunc(groups));
  if (l.GroupStaves < 1) l.GroupStaves = 1;
  // Groups of one are not set apart; larger groups get a second gap after each complete group.
  l.GroupGap = l.GroupStaves == 1 ? 0.0 : static_cast<double>(gapHeight);
  l.TopMargin = static_cast<int>(Trunc(topMargin));
  return l;
}

double StaveTop(const TStaveLayout& l, int n) {
  const int before = n - 1;
  Extended top = static_cast<Extended>(before) * l.StaveH + l.TopMargin +
                 static_cast<Extended>(before) * l.GapH +
                 static_cast<Extended>(before / l.GroupStaves) * l.GroupGap;
  return static_cast<double>(top);
}

double SpaceRequired(const TStaveLayout& l) {
  const int before = l.NStaves - 1;
  Extended space = static_cast<Extended>(l.NStaves) * l.StaveH + l.TopMargin +
                   static_cast<Extended>(before) * l.GapH +
                   static_cast<Extended>(before / l.GroupStaves) * l.GroupGap;
  return static_cast<double>(space);
}

int StaveLineY(const TStaveLayout& l, double top, int k, double twipsPerMM) {
  Extended mm = static_cast<Extended>(k) * l.StaveH / 4.0L + top;
  return static_cast<int>(Trunc(mm * twipsPerMM));
}

int LineWidthTwips(Extended millimetres, double twipsPerMM) {
  return static_cast<int>(Trunc(millimetres * twipsPerMM));
}

std::optional<TColor> SpaceRequiredColor(int pageLengthTwips, double twipsPerMM,
                                         double spaceRequired) {
  if (!(twipsPerMM > 0)) return std::nullopt;
  // Compared in twips, where the page length is exact: dividing it back into millimetres can
  // land a hair below a space that fits exactly and turn an exact fit red.
  Extended needed = static_cast<Extended>(spaceRequired) * twipsPerMM;
  const Extended slack = 1e-9L * (needed < 0 ? -needed : needed);
  return static_cast<Extended>(pageLengthTwips) + slack >= needed ? clGreen : clRed;
}
