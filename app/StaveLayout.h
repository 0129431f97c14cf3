#pragma once
// The arithmetic of a page of staves, apart from the controls that hold its settings, so it can
// be checked on its own. Lengths are millimetres unless named twips.
#include <cstdint>
#include <optional>

#include "Colors.h"
#include "Strings.h"

struct TStaveLayout {
  int NStaves = 0;
  double StaveH = 0;    // top line to bottom line
  double GapH = 0;      // bottom line of one stave to the top line of the next
  double GroupGap = 0;  // extra gap after each complete group
  int GroupStaves = 1;  // staves per group, at least 1
  int TopMargin = 0;    // top of the printable area to the first stave
};

// The layout the settings give (counts and the margin truncated toward zero). Groups below 1 are
// taken as 1: the integer divisions below must never divide by zero.
TStaveLayout MakeStaveLayout(Extended staves, Extended groups, Extended staveHeight,
                             Extended gapHeight, Extended topMargin);

// Offset of stave n's top line (1-based) from the top of the printable area.
double StaveTop(const TStaveLayout& layout, int n);
// Top of the printable area to the bottom line of the last stave.
double SpaceRequired(const TStaveLayout& layout);

// Row in twips of line k (0 to 4) of a stave whose top line lies top mm down.
int StaveLineY(const TStaveLayout& layout, double top, int k, double twipsPerMM);
// A pen width in twips from millimetres.
int LineWidthTwips(Extended millimetres, double twipsPerMM);

// The colour of the space-required box: green when the staves fit the printable page length,
// red when not; nothing while the page has not been measured (no factor yet).
std::optional<TColor> SpaceRequiredColor(int pageLengthTwips, double twipsPerMM,
                                         double spaceRequired);
