#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>

// Printing a saved text through the system's print command (CUPS "lp").
namespace vocalix::shell {

// The printers the print system offers. Empty when no print system answers; *problem then
// says why (Russian).
QStringList PrinterList(QString* problem = nullptr);

// Prints the Windows-1251 text file converted to UTF-8 on the printer, one print job per
// copy. Returns an empty string on success, otherwise what went wrong (Russian).
QString PrintTextFile(const std::filesystem::path& file, const QString& printer, int copies);

} // namespace vocalix::shell
