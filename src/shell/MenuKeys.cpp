// Mnemonics of the main menu for both keyboard layouts.
#include "shell/MenuKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>

namespace vocalix::shell {

namespace {

// Alt pressed and released alone puts the menu bar in keyboard mode; the desktop styles of
// this platform leave that off.
class AltKeyStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Qt matches a mnemonic against the key's symbol in the active layout only, so with the
// Latin layout Alt+A never reaches "Файл". This filter takes the Latin key, finds the
// Russian letter on it and opens the menu that letter belongs to; with a menu open it also
// takes the Russian letter itself.
class LatinMnemonics : public QObject {
public:
    explicit LatinMnemonics(QMenuBar* bar) : QObject(bar), m_bar(bar) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget)
            return false;
        // Alt held down for the next Alt+letter must not close the open menu.
        if (key->key() == Qt::Key_Alt && qobject_cast<QMenu*>(widget) && m_bar->activeAction())
            return true;
        // Alt+key anywhere in the window or its open menus; a bare key while the menu bar
        // itself holds the focus (after Alt alone).
        const bool inWindow = widget->window() == m_bar->window() ||
                              (qobject_cast<QMenu*>(widget) && m_bar->activeAction());
        const bool altKey = mods == Qt::AltModifier && inWindow;
        const bool barKey = mods == Qt::NoModifier && widget == m_bar;
        if (!altKey && !barKey)
            return false;
        // A Cyrillic key arrives here only where Qt's own mnemonic did not take it: inside
        // an open menu, which passes on to the next menu of the same letter.
        const int code = key->key();
        const bool cyrillic = (code >= 0x410 && code <= 0x42F) || code == 0x401;
        const QChar letter = cyrillic ? QChar(code) : RussianLetterOnKey(code);
        if (letter.isNull())
            return false;
        return OpenMenuOf(letter);
    }

private:
    bool OpenMenuOf(QChar letter) {
        QList<QAction*> matching;
        for (QAction* action : m_bar->actions()) {
            const QString text = action->text().remove(QLatin1Char('&'));
            if (action->menu() && action->isVisible() && action->isEnabled() && !text.isEmpty() &&
                text.at(0).toUpper() == letter)
                matching << action;
        }
        if (matching.isEmpty())
            return false;
        // A second press of a letter shared by two menus moves on to the next one.
        const qsizetype current = matching.indexOf(m_bar->activeAction());
        QAction* next = matching.at(current < 0 ? 0 : (current + 1) % matching.size());
        m_bar->setActiveAction(next);
        // As with Qt's own mnemonic, the menu opens on its first command, so that Enter runs it.
        for (QAction* item : next->menu()->actions()) {
            if (!item->isSeparator() && item->isVisible() && item->isEnabled()) {
                next->menu()->setActiveAction(item);
                break;
            }
        }
        return true;
    }

    QMenuBar* m_bar;
};

} // namespace

QChar RussianLetterOnKey(int latinKey) {
    // The Russian layout over the Latin one, key by key.
    static const struct {
        int key;
        char16_t letter;
    } kKeys[] = {
        {Qt::Key_Q, u'Й'},         {Qt::Key_W, u'Ц'},           {Qt::Key_E, u'У'},
        {Qt::Key_R, u'К'},         {Qt::Key_T, u'Е'},           {Qt::Key_Y, u'Н'},
        {Qt::Key_U, u'Г'},         {Qt::Key_I, u'Ш'},           {Qt::Key_O, u'Щ'},
        {Qt::Key_P, u'З'},         {Qt::Key_BracketLeft, u'Х'}, {Qt::Key_BracketRight, u'Ъ'},
        {Qt::Key_A, u'Ф'},         {Qt::Key_S, u'Ы'},           {Qt::Key_D, u'В'},
        {Qt::Key_F, u'А'},         {Qt::Key_G, u'П'},           {Qt::Key_H, u'Р'},
        {Qt::Key_J, u'О'},         {Qt::Key_K, u'Л'},           {Qt::Key_L, u'Д'},
        {Qt::Key_Semicolon, u'Ж'}, {Qt::Key_Apostrophe, u'Э'},  {Qt::Key_Z, u'Я'},
        {Qt::Key_X, u'Ч'},         {Qt::Key_C, u'С'},           {Qt::Key_V, u'М'},
        {Qt::Key_B, u'И'},         {Qt::Key_N, u'Т'},           {Qt::Key_M, u'Ь'},
        {Qt::Key_Comma, u'Б'},     {Qt::Key_Period, u'Ю'},      {Qt::Key_QuoteLeft, u'Ё'},
    };
    for (const auto& k : kKeys)
        if (k.key == latinKey)
            return QChar(k.letter);
    return {};
}

void InstallMenuKeys(QMenuBar* bar) {
    for (QAction* action : bar->actions()) {
        if (!action->menu() || action->text().contains(QLatin1Char('&')))
            continue;
        action->menu()->setTitle(QLatin1Char('&') + action->menu()->title());
    }
    auto* style = new AltKeyStyle;
    style->setParent(bar);
    bar->setStyle(style);
    // The menus keep the application's style: with the hint set, Alt pressed inside an open
    // menu would close it, and the next Alt+letter could not move on to the next menu.
    for (QMenu* menu : bar->findChildren<QMenu*>())
        menu->setStyle(nullptr);
    qApp->installEventFilter(new LatinMnemonics(bar));
}

} // namespace vocalix::shell
