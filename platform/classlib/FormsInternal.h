#pragma once
// The global objects without creating them (for destructors and start-up order).
#include "Forms.h"

namespace korv_forms {
TApplication* ApplicationIfAny();
// With create, makes the screen object when it does not exist yet.
TScreen* ScreenIfAny(bool create);
}  // namespace korv_forms
