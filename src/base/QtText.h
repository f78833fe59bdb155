#pragma once

#include <QString>
#include <string>
#include <string_view>

// Windows-1251 bytes to QString and back (Qt 6.4 has no converter for this code page).
namespace vocalix::base {

QString ToQString(std::string_view cp1251);
// A QString from UTF-8 text written in the code (Russian captions and messages).
inline QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}
std::string FromQString(const QString& text);

} // namespace vocalix::base
