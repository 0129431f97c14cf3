// The stave arithmetic on its own: space required, stave positions, line rows and pen widths.
#include <gtest/gtest.h>

#include <vector>

#include "StaveLayout.h"

namespace {

constexpr double kTwipsPerMM = 56.7;

TStaveLayout Defaults(Extended staves = 8, Extended groups = 1) {
  return MakeStaveLayout(staves, groups, 10, 10, 10);
}

std::vector<int> LinesOfStave(const TStaveLayout& l, int n) {
  std::vector<int> rows;
  for (int k = 0; k < 5; ++k) rows.push_back(StaveLineY(l, StaveTop(l, n), k, kTwipsPerMM));
  return rows;
}

TEST(StaveLayout, DefaultsNeed160mmAndPutTheFirstStaveTenMillimetresDown) {
  TStaveLayout l = Defaults();
  EXPECT_DOUBLE_EQ(SpaceRequired(l), 160.0);
  EXPECT_EQ(LinesOfStave(l, 1), (std::vector<int>{567, 708, 850, 992, 1134}));
  // The last stave's bottom line is where the space required ends.
  EXPECT_DOUBLE_EQ(StaveTop(l, 8) + l.StaveH, SpaceRequired(l));
}

TEST(StaveLayout, GroupsAddOneGapAfterEachCompleteGroupOnly) {
  TStaveLayout pairs = Defaults(8, 2);
  EXPECT_DOUBLE_EQ(SpaceRequired(pairs), 190.0);
  EXPECT_DOUBLE_EQ(StaveTop(pairs, 2), 30.0);  // same group: a single gap
  EXPECT_DOUBLE_EQ(StaveTop(pairs, 3), 60.0);  // new group: gap and group gap
  EXPECT_DOUBLE_EQ(StaveTop(pairs, 8) + pairs.StaveH, SpaceRequired(pairs));

  // Groups of one: no doubled gap after every stave.
  TStaveLayout singles = Defaults(8, 1);
  EXPECT_EQ(singles.GroupGap, 0.0);
  for (int n = 1; n <= 8; ++n) EXPECT_DOUBLE_EQ(StaveTop(singles, n), 10.0 + (n - 1) * 20.0);

  // A group as large as the page or larger: no group gap at all.
  for (Extended groups : {4.0L, 5.0L})
    EXPECT_DOUBLE_EQ(SpaceRequired(Defaults(4, groups)), 4 * 10 + 10 + 3 * 10) << double(groups);
  EXPECT_DOUBLE_EQ(SpaceRequired(Defaults(5, 4)), 5 * 10 + 10 + 4 * 10 + 10);
}

TEST(StaveLayout, OneStaveNeedsItsHeightAndTheMargin) {
  TStaveLayout l = MakeStaveLayout(1, 3, 7.5, 10, 12);
  EXPECT_DOUBLE_EQ(SpaceRequired(l), 7.5 + 12);
  EXPECT_DOUBLE_EQ(StaveTop(l, 1), 12.0);
}

TEST(StaveLayout, CountsAndMarginAreTruncatedAndGroupsNeverDivideByZero) {
  TStaveLayout l = MakeStaveLayout(8.9L, 2.7L, 10, 10, 10.99L);
  EXPECT_EQ(l.NStaves, 8);
  EXPECT_EQ(l.GroupStaves, 2);
  EXPECT_EQ(l.TopMargin, 10);
  TStaveLayout none = MakeStaveLayout(8, 0, 10, 10, 10);
  EXPECT_EQ(none.GroupStaves, 1);
  EXPECT_DOUBLE_EQ(SpaceRequired(none), 160.0);
}

TEST(StaveLayout, LinesLieAQuarterOfTheStaveApartTruncatedToTwips) {
  TStaveLayout l = MakeStaveLayout(3, 1, 7, 5, 0);
  // 0, 1.75, 3.5, 5.25 and 7 mm: 0, 99.225, 198.45, 297.675, 396.9 twips.
  EXPECT_EQ(LinesOfStave(l, 1), (std::vector<int>{0, 99, 198, 297, 396}));
}

TEST(StaveLayout, PenWidthsInTwips) {
  EXPECT_EQ(LineWidthTwips(0.2L, kTwipsPerMM), 11);
  EXPECT_EQ(LineWidthTwips(0.25L, kTwipsPerMM), 14);
  EXPECT_EQ(LineWidthTwips(0.8L, kTwipsPerMM), 45);
}

TEST(StaveLayout, SpaceRequiredColour) {
  // Not measured yet: no colour, and no division by zero.
  EXPECT_FALSE(SpaceRequiredColor(16102, 0.0, 160.0).has_value());
  // A4 portrait on the PDF printer: 16102 twips, 284 mm.
  EXPECT_EQ(SpaceRequiredColor(16102, kTwipsPerMM, 160.0), clGreen);
  EXPECT_EQ(SpaceRequiredColor(16102, kTwipsPerMM, 290.0), clRed);
  // Exactly the page: 160 mm is 9072 twips, though 9072 / 56.7 comes out a hair short of 160.
  EXPECT_EQ(SpaceRequiredColor(9072, kTwipsPerMM, 160.0), clGreen);
  EXPECT_EQ(SpaceRequiredColor(9071, kTwipsPerMM, 160.0), clRed);
  // Every whole millimetre length of a page that fits exactly stays green.
  for (int mm = 1; mm <= 400; ++mm) {
    int twips = static_cast<int>(mm * 567 / 10);
    if (twips * 10 != mm * 567) continue;  // only lengths that are whole twips
    EXPECT_EQ(SpaceRequiredColor(twips, kTwipsPerMM, mm), clGreen) << mm;
  }
}

}  // namespace
