// Compiled, never run: a unit that includes the preview engine and the spin edit, as the main
// window does, names both orientations without a clash.
#include <type_traits>

#include "KorPrev.h"
#include "RzSpnEdt.h"

static_assert(!std::is_same_v<TOrientation, RzSpnEdt::TOrientation>);
static_assert(oPortrait == 0 && oLandscape == 1);
static_assert(orHorizontal == RzSpnEdt::orHorizontal && orVertical == 1);

void UseBothOrientations(TPreviewForm* preview, TRzSpinEdit* spin) {
  preview->SetOrientation(oLandscape);
  spin->SetOrientation(orHorizontal);
}
