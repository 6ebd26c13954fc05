// Japanese fonts. The windows name the fixed-pitch Gothic font
// "ＭＳ ゴシック" as the program always has; where that font is not installed
// the name is mapped to a Japanese Gothic font that is (IPAGothic), so
// Japanese text never falls back to a font without kana and kanji.
#pragma once

#include <QFont>

namespace tervan {

// Registers the substitutions; call once after the application exists.
void InstallJapaneseFonts();

// The family name the windows use: "ＭＳ ゴシック".
QString GothicFamily();

// The Gothic font at a pixel size.
QFont GothicFont(int pixelSize, bool bold = false);

} // namespace tervan
