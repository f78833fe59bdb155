#include "shell/Profiles.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/IniFile.h"

#include <QCoreApplication>
#include <QProcess>
#include <QVariant>

namespace vocalix::shell {

std::filesystem::path ProfilesFolder(const std::filesystem::path& programDir) {
    return programDir / "profiles";
}

bool CopySettingsFile(const std::filesystem::path& from, const std::filesystem::path& to,
                      std::string* error) {
    std::string bytes, why;
    if (!base::ReadFileBytes(from, bytes, &why)) {
        if (error)
            *error = base::Cp("Не удалось прочитать файл ") + base::Utf8ToCp1251(from.string()) +
                     ": " + base::Utf8ToCp1251(why);
        return false;
    }
    base::IniFile ini;
    ini.Parse(bytes);
    if (ini.Sections().empty()) {
        if (error)
            *error = base::Cp("Файл ") + base::Utf8ToCp1251(from.string()) +
                     base::Cp(" не является файлом настроек: в нём нет ни одного раздела.");
        return false;
    }
    std::string text = base::ToCrLf(bytes);
    if (!text.empty() && text.back() != '\n')
        text += "\r\n";
    if (!base::WriteFileAtomic(to, text, &why)) {
        if (error)
            *error = base::Cp("Не удалось записать файл ") + base::Utf8ToCp1251(to.string()) +
                     ": " + base::Utf8ToCp1251(why);
        return false;
    }
    return true;
}

bool StartNewInstance() {
    return QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
}

void SetCommandLineFile(const QString& path) {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->setProperty("vocalixCommandLineFile", path);
}

QString CommandLineFile() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app ? app->property("vocalixCommandLineFile").toString() : QString();
}

} // namespace vocalix::shell
