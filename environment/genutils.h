#pragma once
#include "Strings.h"

// The path with one "\" appended when its last character is not already "\".
String AddTrailingBackslash(const String& path);
