// The manual shipped in data/help covers every command of the main window's menus.
#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "shell/TForm1.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace vocalix::shell;
using vocalix::shell::testing::ScriptedPrompter;

class HelpManualTest : public QObject {
    Q_OBJECT
private slots:
    void manualNamesEveryMenuItem();
};

namespace {

// A caption as the manual writes it: without the accelerator mark, the shortcut and runs of
// spaces.
QString Caption(const QAction* action) {
    return action->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&')).simplified();
}

void CollectCaptions(const QMenu* menu, QStringList& out) {
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        out << Caption(action);
        if (action->menu())
            CollectCaptions(action->menu(), out);
    }
}

} // namespace

void HelpManualTest::manualNamesEveryMenuItem() {
    QFile file(QStringLiteral(VOCALIX_SOURCE_DIR "/data/help/Vocalix.html"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QTextDocument manual;
    manual.setHtml(QString::fromUtf8(file.readAll()));
    const QString text = manual.toPlainText().simplified();

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    TForm1 form(dir.path().toStdString(), prompter);
    QStringList captions;
    for (const QAction* top : form.menuBar()->actions()) {
        QVERIFY(top->menu());
        CollectCaptions(top->menu(), captions);
    }
    QVERIFY(captions.size() > 50);
    QStringList missing;
    for (const QString& caption : captions)
        if (!text.contains(caption))
            missing << caption;
    QVERIFY2(missing.isEmpty(), qPrintable("not in the manual: " + missing.join(" | ")));
}

VOCALIX_QTEST_MAIN(HelpManualTest)
#include "HelpManual_qtest.moc"
