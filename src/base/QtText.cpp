#include "base/QtText.h"

#include "base/Cp1251.h"

namespace vocalix::base {

QString ToQString(std::string_view cp1251) {
    QString out(static_cast<qsizetype>(cp1251.size()), Qt::Uninitialized);
    QChar* dst = out.data();
    for (size_t i = 0; i < cp1251.size(); ++i)
        dst[i] = QChar(static_cast<char16_t>(Cp1251ToUnicode(static_cast<unsigned char>(cp1251[i]))));
    return out;
}

std::string FromQString(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            out += '?';
            ++i;
            continue;
        }
        if (c.unicode() != 0x0301 || !PutStressMark(out))
            out += UnicodeToCp1251(c.unicode());
    }
    return out;
}

} // namespace vocalix::base
