#include "base/ProcessExit.h"
#include "base/ProgramFolder.h"
#include "shell/DeferredStart.h"
#include "shell/Profiles.h"
#include "shell/Prompter.h"
#include "shell/SessionEnd.h"
#include "shell/TForm1.h"

#include <QApplication>
#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vocalix"));
    // Ties the window to the installed menu entry, whose icon the desktop then shows for it.
    QGuiApplication::setDesktopFileName(QStringLiteral("vocalix"));
    // Qt's standard dialogs and context menus speak Russian like the rest of the window.
    if (!vocalix::shell::LoadQtRussianTranslations())
        std::fprintf(stderr,
                     "vocalix: Qt's Russian translations (qtbase_ru.qm) are not installed\n");
    // Shutdown, logout, a closed terminal or `kill` end the window without questions, with
    // the unsaved pages kept for the next start.
    vocalix::shell::TerminationSignals terminationSignals;
    vocalix::shell::QtPrompter prompter;
    // The executable's folder when it can be written, else the per-user folder seeded from the
    // installed data.
    const std::filesystem::path programDir = vocalix::base::ResolveProgramFolder(
        QCoreApplication::applicationDirPath().toStdString(), vocalix::base::CurrentEnvironment());
    // The first argument is a document to open into the active page.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1)
        vocalix::shell::SetCommandLineFile(arguments.at(1));
    int status = 0;
    vocalix::shell::SetPagesRestoredAfterShow(true);
    {
        vocalix::shell::TForm1 form(programDir, prompter);
        prompter.SetParent(&form);
        form.CreateOtherWindows();
        QObject::connect(&terminationSignals, &vocalix::shell::TerminationSignals::Requested, &form,
                         &vocalix::shell::TForm1::EndSession);
        new vocalix::shell::DesktopSession(form);
        form.show();
        vocalix::shell::FinishStartOnceExposed(form);
        status = app.exec();
    } // the window is destroyed here: settings and recent files are written
    vocalix::base::LeaveProcess(status);
}
