#include "shell/EditorLook.h"

#include "base/QtText.h"

#include <QGuiApplication>
#include <QPalette>

namespace vocalix::shell {
namespace {

QPalette::ColorRole SystemRole(int index) {
    switch (index) {
    case 5: // window background
        return QPalette::Base;
    case 7: // menu text
    case 8: // window text
        return QPalette::Text;
    case 13:
        return QPalette::Highlight;
    case 14:
        return QPalette::HighlightedText;
    case 15: // button face
        return QPalette::Button;
    case 18:
        return QPalette::ButtonText;
    default:
        return QPalette::Window;
    }
}

} // namespace

QColor WinColorToQColor(int value) {
    const auto bits = static_cast<unsigned>(value);
    if ((bits >> 24) == 0xFF)
        return QGuiApplication::palette().color(SystemRole(static_cast<int>(bits & 0xFF)));
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                  static_cast<int>((bits >> 16) & 0xFF));
}

int QColorToWinColor(const QColor& color, int previous) {
    if (WinColorToQColor(previous).rgb() == color.rgb())
        return previous;
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

QFont FontFromOptions(const base::Options& options, const QFont& current) {
    QFont font = current;
    if (!options.FontName.empty())
        font.setFamily(base::ToQString(options.FontName.substr(0, 31)));
    if (options.FontSize > 0)
        font.setPointSize(options.FontSize);
    font.setBold(options.FontStyle & 1);
    font.setItalic(options.FontStyle & 2);
    font.setUnderline(options.FontStyle & 4);
    font.setStrikeOut(options.FontStyle & 8);
    return font;
}

void FontToOptions(const QFont& font, base::Options& options) {
    options.FontName = base::FromQString(font.family());
    if (font.pointSize() > 0)
        options.FontSize = font.pointSize();
    options.FontStyle = (font.bold() ? 1 : 0) | (font.italic() ? 2 : 0) |
                        (font.underline() ? 4 : 0) | (font.strikeOut() ? 8 : 0);
}

} // namespace vocalix::shell
