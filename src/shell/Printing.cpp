#include "shell/Printing.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <QProcess>
#include <QTemporaryDir>

namespace vocalix::shell {
namespace {

struct RunResult {
    bool started = false;
    int exitCode = -1;
    QString out, err;
};

RunResult Run(const QString& program, const QStringList& args) {
    RunResult r;
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(5000))
        return r;
    r.started = true;
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished(1000);
        r.err = QString::fromUtf8("нет ответа");
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    return r;
}

} // namespace

QStringList PrinterList(QString* problem) {
    const RunResult r = Run("lpstat", {"-e"});
    QStringList printers;
    if (!r.started) {
        if (problem)
            *problem = QString::fromUtf8("Не найдена система печати: нет программы lpstat "
                                         "(пакет cups-client).");
        return printers;
    }
    for (const QString& line : r.out.split('\n', Qt::SkipEmptyParts))
        printers << line.trimmed();
    if (printers.isEmpty() && problem) {
        *problem = QString::fromUtf8("Не найдено ни одного принтера: система печати (CUPS) не "
                                     "запущена или принтеры не настроены.");
        if (!r.err.isEmpty())
            *problem += "\n" + r.err;
    }
    return printers;
}

QString PrintTextFile(const std::filesystem::path& file, const QString& printer, int copies) {
    std::string bytes, error;
    if (!base::ReadFileBytes(file, bytes, &error))
        return QString::fromUtf8("Не удалось прочитать файл ") +
               QString::fromStdString(file.string());
    // The print system takes UTF-8 text; the program's files are Windows-1251.
    QTemporaryDir dir;
    if (!dir.isValid())
        return QString::fromUtf8("Не удалось создать временную папку для печати.");
    const std::filesystem::path utf8 =
        std::filesystem::path(dir.path().toStdString()) / file.filename();
    if (!base::WriteFileAtomic(utf8, base::Cp1251ToUtf8(bytes), &error))
        return QString::fromUtf8("Не удалось подготовить файл для печати: ") +
               QString::fromStdString(error);
    for (int copy = 0; copy < copies; ++copy) {
        const RunResult r =
            Run("lp", {"-d", printer, "-t", QString::fromStdString(file.filename().string()),
                       QString::fromStdString(utf8.string())});
        if (!r.started)
            return QString::fromUtf8("Не найдена система печати: нет программы lp "
                                     "(пакет cups-client).");
        if (r.exitCode != 0)
            return QString::fromUtf8("Печать не удалась: ") + r.err;
    }
    return {};
}

} // namespace vocalix::shell
