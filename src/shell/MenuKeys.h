#pragma once

#include <QChar>

class QMenuBar;

namespace vocalix::shell {

// The Cyrillic letter on the same key of the Russian layout as the Latin key `latin` (Qt key
// code of A..Z or a punctuation key); a null QChar when the key has none.
QChar RussianLetterOnKey(int latinKey);

// Keyboard access to the menu bar: every top-level menu gets its first letter as mnemonic
// (underlined; the caption keeps its text), Alt+letter opens it with the Russian and the Latin
// keyboard layout alike (a letter shared by two menus opens them in turn), and Alt alone,
// pressed and released, focuses the menu bar.
void InstallMenuKeys(QMenuBar* bar);

} // namespace vocalix::shell
