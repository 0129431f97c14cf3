#pragma once
// A lower layer naming a higher one in angle brackets, which the check refuses.
#include <High.h>
