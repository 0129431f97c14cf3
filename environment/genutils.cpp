#include "genutils.h"

String AddTrailingBackslash(const String& path) {
  if (path.empty() || path.back() == u'\\') return path;
  // Only a backslash counts: a trailing "/" still gets one.
  return path + u'\\';
}
