#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "base/AtomicFile.h"
#include "base/Settings.h"
#include "shell/TForm1.h"
#include "shell/TPrefsBox.h"

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vocalix;
using namespace vocalix::shell;
using vocalix::shell::testing::ScriptedPrompter;

// The user's global hot keys 3 and 4 are grabbed on the X server at start-up and again after
// the preferences dialog; a name that is no key registers nothing.
class TForm1HotKeysTest : public QObject {
    Q_OBJECT
private slots:
    void registeredAtStartAndAfterTheDialog() {
        QTemporaryDir dir;
        const std::filesystem::path programDir = dir.path().toStdString();
        QVERIFY(base::WriteFileAtomic(base::SettingsPath(programDir),
                                      "[Others]\r\nGKName=Ctrl+Shift+F11\r\nGKName2=Ctrl+F13\r\n"));
        ScriptedPrompter prompter;
        TForm1 form(programDir, prompter);
        form.CreateOtherWindows();
        QVERIFY(form.hotKeys().IsRegistered(3));
        QVERIFY(!form.hotKeys().IsRegistered(4)); // F13 is no key of the list

        auto* box = static_cast<TPrefsBox*>(form.PrefsBox);
        QTimer::singleShot(0, [box] {
            box->cbGKey->setCurrentIndex(0);    // "<нет>"
            box->cbGKey2->setCurrentIndex(117); // Alt+Z
            QTest::mouseClick(box->btOK, Qt::LeftButton);
        });
        form.ASetPrefsExecute();
        QVERIFY(!form.hotKeys().IsRegistered(3));
        QVERIFY(form.hotKeys().IsRegistered(4));
        QVERIFY(prompter.unexpected.isEmpty());
    }
};

VOCALIX_QTEST_MAIN(TForm1HotKeysTest)
#include "TForm1HotKeys_x11test.moc"
