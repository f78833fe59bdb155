#include "shell/Prompter.h"
#include "shell/TForm1.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>

namespace {

// The program folder is the executable's folder when it can be written; otherwise a per-user
// folder seeded once from the installed data.
std::filesystem::path ChooseProgramDir() {
    const QString appDir = QCoreApplication::applicationDirPath();
    if (QFileInfo(appDir).isWritable())
        return std::filesystem::path(appDir.toStdString());
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/vocalix");
    std::filesystem::path target(user.toStdString());
    std::error_code error;
    if (!std::filesystem::exists(target, error)) {
        std::filesystem::create_directories(target, error);
        for (const char* sub : {"dic", "sounds", "help", "profiles"})
            std::filesystem::copy(std::filesystem::path(appDir.toStdString()) / sub, target / sub,
                                  std::filesystem::copy_options::recursive, error);
    }
    return target;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vocalix"));
    vocalix::shell::QtPrompter prompter;
    vocalix::shell::TForm1 form(ChooseProgramDir(), prompter);
    prompter.SetParent(&form);
    form.CreateOtherWindows();
    form.show();
    return app.exec();
}
