#pragma once
// Inside the host only: the Qt font behind a realised font, for host code that draws text with
// Qt itself (vector output), so it uses exactly the face and size the text was measured with.
#include <QFont>
#include <QString>

#include "HostFonts.h"

const QFont& HostQtFont(const HostFont* font);
// The character Qt should draw for ch (the symbol font's characters become their symbols).
char32_t HostDisplayChar(const HostFont* font, char32_t ch);
// One character as Qt text (a surrogate pair above the basic plane).
QString HostCharString(char32_t c);
