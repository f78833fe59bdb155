#pragma once

#include "base/Options.h"

#include <QColor>
#include <QFont>

// The editor font and colours as the settings file keeps them: colours are 32-bit values
// (top byte FF: a system colour by index; otherwise red, green, blue from the low byte up),
// font style bits 1 bold, 2 italic, 4 underline, 8 strike-out.
namespace vocalix::shell {

// The colour a settings value names; system colours come from the application palette.
QColor WinColorToQColor(int value);

// The settings value of a colour. When `previous` names the same colour (a system colour
// included), it is kept, so a system colour stays one across starts.
int QColorToWinColor(const QColor& color, int previous);

// The editor font from the Font keys: an empty name keeps the face of `current`, and only the
// first 31 characters of a name are used.
QFont FontFromOptions(const base::Options& options, const QFont& current);

// Font keys from the font shown (the character set is kept as it was).
void FontToOptions(const QFont& font, base::Options& options);

} // namespace vocalix::shell
