#include "QtTestMain.h"
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "base/IniFile.h"
#include "base/QtText.h"
#include "base/Settings.h"
#include "shell/PrefsLogic.h"
#include "shell/TPrefsBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace vocalix;
using vocalix::shell::TPrefsBox;

namespace {

using vocalix::base::U;

void Choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

std::string FileText(const QTemporaryDir& dir) {
    std::string bytes;
    base::ReadFileBytes(base::SettingsPath(dir.path().toStdString()), bytes);
    return bytes;
}

} // namespace

class TPrefsBoxTest : public QObject {
    Q_OBJECT
private slots:
    void tabsAndControls() {
        QTemporaryDir dir;
        TPrefsBox box(dir.path().toStdString());
        QCOMPARE(box.windowTitle(), U("Общие настройки"));
        QCOMPARE(box.PageControl1->count(), 9);
        const char* tabs[] = {"Аудио",  "Литературный текст", "Сериалы", "Свежий взгляд", "Набор",
                              "Чтение", "Картинки",           "Прочее",  "Дополнительно"};
        for (int i = 0; i < 9; ++i)
            QCOMPARE(box.PageControl1->tabText(i), U(tabs[i]));
        const char* names[] = {"cbConverter",
                               "cbBitRate",
                               "lbBitRate",
                               "cbQuality",
                               "lbQuality",
                               "eAllParam",
                               "lbAllParam",
                               "chkbConvMinimize",
                               "chkbAudioFromTop",
                               "eAbzac",
                               "eMaxLen",
                               "eHugeLen",
                               "chkbRJust",
                               "eNB",
                               "lbTime",
                               "chkbChap",
                               "chkbHeader",
                               "chkbAudioSplit",
                               "eFE1",
                               "eFE2",
                               "AutoCap",
                               "AutoRepl",
                               "AutoParag",
                               "AutoAloud",
                               "AutoAloudP",
                               "AutoAloudA",
                               "eRepeat",
                               "lbRepeat",
                               "eNF",
                               "chkbStyle",
                               "chkbTags",
                               "chkbPicImport",
                               "ePicMargin",
                               "chkbPrev",
                               "chkbCursor",
                               "cbGKey",
                               "cbGKey2",
                               "btOK",
                               "btESC"};
        for (const char* name : names)
            QVERIFY2(box.findChild<QWidget*>(name), name);
        QCOMPARE(box.cbGKey->count(), 118);
        QCOMPARE(box.cbGKey2->itemText(117), U("Alt+Z"));
        QCOMPARE(box.cbBitRate->count(), 15);
        QCOMPARE(box.cbQuality->itemText(0), U("Низкое"));
        QCOMPARE(box.chkbTags->text(), U("Игнорировать управляющие теги SAP5 при чтении текста"));
        QCOMPARE(box.chkbChap->text(),
                 U("Делить по заголовкам  глав или  знаку \"!\" в начале строки"));
        QCOMPARE(box.eNB->toolTip(), U("Не менее 500 или 0 - отсутствие ограничений"));
        QCOMPARE(box.btESC->text(), U("Отменить"));
        QVERIFY(box.width() >= 470 && box.height() >= 284);
    }

    void converterListsComposeParameters() {
        QTemporaryDir dir;
        TPrefsBox box(dir.path().toStdString());
        box.FormCreate(1);
        QCOMPARE(box.lbBitRate->text(), U("Битрейд")); // until a list changes
        Choose(box.cbConverter, 1);
        Choose(box.cbBitRate, 7); // 128
        Choose(box.cbQuality, 0); // Низкое
        QCOMPARE(box.eAllParam->text(), U("-b128 -f"));
        Choose(box.cbQuality, 1);
        QCOMPARE(box.eAllParam->text(), U("-b128 "));
        QVERIFY(!box.cbQuality->isHidden());
        QCOMPARE(box.lbBitRate->text(), U("Битрейд!"));

        Choose(box.cbConverter, 2);
        Choose(box.cbBitRate, 5); // 96
        QCOMPARE(box.eAllParam->text(), U("-96"));
        QVERIFY(box.cbQuality->isHidden());
        QVERIFY(box.lbQuality->isHidden());
        QVERIFY(!box.eAllParam->isHidden());

        box.eAllParam->setText(U("-q 5 --resample 22050"));
        Choose(box.cbConverter, 0);
        QCOMPARE(box.lbBitRate->text(), U("Сжатие аудиофайла не производится!"));
        QCOMPARE(box.lbAllParam->text(),
                 U("НАИВЫСШЕЕ КАЧЕСТВО ЗВУЧАНИЯ. РАЗМЕРЫ АУДИОФАЙЛА БУДУТ ОЧЕНЬ ВЕЛИКИ"));
        QVERIFY(box.cbBitRate->isHidden());
        QVERIFY(box.eAllParam->isHidden());
        QCOMPARE(box.eAllParam->text(), U("-q 5 --resample 22050"));
        // Hot-key lists leave the parameters alone.
        Choose(box.cbGKey, 5);
        QCOMPARE(box.eAllParam->text(), U("-q 5 --resample 22050"));
    }

    void fillingKeepsHandMadeParametersAndFallsBack() {
        QTemporaryDir dir;
        TPrefsBox box(dir.path().toStdString());
        base::Options o;
        o.AllParam = "-V 2";
        o.ACNumber = 9;
        o.GKName = "Ctrl+Shift+F5";
        o.GKName2 = "ctrl+q";
        o.IsXML = true;
        o.AutoAloudP = false;
        box.Fill(o);
        QCOMPARE(box.eAllParam->text(), U("-V 2"));
        QCOMPARE(box.cbConverter->currentIndex(), 1);
        QCOMPARE(box.cbGKey->currentText(), U("<нет>"));
        QCOMPARE(box.cbGKey2->currentText(), U("Ctrl+Q"));
        QVERIFY(!box.chkbTags->isChecked());
        QVERIFY(!box.AutoAloudP->isChecked());
        QVERIFY(!box.AutoAloudA->isChecked());
        QCOMPARE(box.lbTime->text(), U("~45 мин. звучания"));
    }

    void timeEstimateAndAutoAloud() {
        QTemporaryDir dir;
        TPrefsBox box(dir.path().toStdString());
        box.eNB->setText("0");
        QCOMPARE(box.lbTime->text(), U("~0 мин. звучания"));
        box.eNB->setText("32768");
        QCOMPARE(box.lbTime->text(), U("~45 мин. звучания"));
        box.AutoAloud->setChecked(false);
        QVERIFY(!box.AutoAloudP->isEnabled() && !box.eRepeat->isEnabled() &&
                !box.lbRepeat->isEnabled() && !box.AutoAloudA->isEnabled());
        box.AutoAloud->click();
        QVERIFY(box.AutoAloudP->isEnabled() && box.eRepeat->isEnabled());
    }

    void numberFieldsTakeDigitsOnly() {
        QTemporaryDir dir;
        TPrefsBox box(dir.path().toStdString());
        box.eFE1->setText("1");
        box.eFE1->setCursorPosition(1);
        QTest::keyClicks(box.eFE1, "2a-3");
        QCOMPARE(box.eFE1->text(), U("123"));
        QTest::keyClick(box.eFE1, Qt::Key_Backspace);
        QCOMPARE(box.eFE1->text(), U("12"));
        QTest::keyClick(box.eFE1, Qt::Key_Space);
        QCOMPARE(box.eFE1->text(), U("12"));
        QKeyEvent cyrillic(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, U("я"));
        QApplication::sendEvent(box.ePicMargin, &cyrillic);
        QTest::keyClicks(box.ePicMargin, "9");
        QVERIFY(box.ePicMargin->text().endsWith('9'));
        QVERIFY(!box.ePicMargin->text().contains(U("я")));
    }

    void okWritesTheKeysInOrder() {
        QTemporaryDir dir;
        TPrefsBox box(dir.path().toStdString());
        box.Fill(base::Options{});
        box.eNB->setText("");
        box.cbGKey2->setCurrentIndex(66);
        box.show();
        QTest::mouseClick(box.btOK, Qt::LeftButton);
        QCOMPARE(box.result(), int(QDialog::Accepted));
        const std::string expected =
            "[AudioConverter]\r\nACNumber=1\r\nBRNumber=4\r\nQNumber=2\r\nAllParam=-b64 -h\r\n"
            "ConverterMinimize=0\r\nAudioFromTop=1\r\n\r\n"
            "[LitText]\r\nParag=4\r\nMaxLen=76\r\nMaxHugeLen=228\r\nRightJustify=0\r\n\r\n"
            "[Series]\r\nBytesInBlock=\r\nChapHeadSencitive=1\r\nAudioSplit=0\r\nHeader=0\r\n\r\n"
            "[FreshEye]\r\nDeep=11\r\nSimilarity=50\r\n\r\n"
            "[Others]\r\nBytesInFrag=4096\r\nIgnoreRules=0\r\nIgnorePrev=0\r\nIsXML=0\r\n"
            "HandPointCursor=0\r\nGKName=" +
            base::Cp("<нет>") +
            "\r\nGKName2=Ctrl+A\r\n\r\n"
            "[Text]\r\nAutoCap=0\r\nAutoRepl=0\r\nAutoParag=0\r\nAutoAloud=0\r\n"
            "AutoAloudP=1\r\nAutoAloudA=0\r\nAutoRepeat=1\r\nPicMargin=550\r\nPicImport=0\r\n\r\n"
            "[Extra]\r\nSubtitles=0\r\nWorkers=0\r\n\r\n";
        QCOMPARE(FileText(dir), expected);
        // The empty field reads back as the default.
        base::IniFile ini;
        ini.Parse(FileText(dir));
        QCOMPARE(base::ReadAllOptions(ini).BytesInBlock, 32768);
    }

    void okKeepsOtherKeysAndCancelWritesNothing() {
        QTemporaryDir dir;
        const auto file = base::SettingsPath(dir.path().toStdString());
        const std::string before = "[Form]\r\nWidth=900\r\n\r\n[Others]\r\nIsXML=1\r\n\r\n";
        QVERIFY(base::WriteFileAtomic(file, before));
        TPrefsBox box(dir.path().toStdString());
        box.Fill(base::Options{});
        box.eFE2->setText("77");
        box.show();
        QTest::mouseClick(box.btESC, Qt::LeftButton);
        QCOMPARE(box.result(), int(QDialog::Rejected));
        QCOMPARE(FileText(dir), before);
        box.show();
        box.OKButtonClick();
        base::IniFile ini;
        ini.Parse(FileText(dir));
        QCOMPARE(ini.ReadInteger("Form", "Width", 0), 900);
        QCOMPARE(ini.ReadInteger("FreshEye", "Similarity", 0), 77);
        QCOMPARE(ini.Sections().front(), std::string("Form"));
    }

    void unwritableFileIsReportedAndTheDialogStaysOpen() {
        QTemporaryDir dir;
        TPrefsBox box((dir.path() + "/missing-folder").toStdString());
        std::string shown;
        box.ShowError = [&](const std::string& m) { shown = m; };
        box.show();
        box.OKButtonClick();
        QVERIFY(box.isVisible());
        QVERIFY(!shown.empty());
        QCOMPARE(shown, box.LastError());
    }
};

VOCALIX_QTEST_MAIN(TPrefsBoxTest)
#include "TPrefsBox_qtest.moc"
