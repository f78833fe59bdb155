#include "QtTestMain.h"
#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "shell/DictionaryList.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace vocalix::shell;
using vocalix::base::Cp;

class DictionaryListTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::filesystem::path Dir() const { return m_dir.path().toStdString(); }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        std::filesystem::create_directories(Dir() / "dic");
        for (const char* name : {"b.dic", "A.dic", "rules.ini", "notes.txt", "Ёж.dic"})
            QVERIFY(vocalix::base::WriteFileAtomic(Dir() / "dic" / name, "x=y\r\n"));
    }

    void fillsSortedAndHidden() {
        QListWidget widget;
        DictionaryList list(&widget);
        QCOMPARE(widget.objectName(), QStringLiteral("CheckListBox1"));
        QCOMPARE(widget.toolTip(),
                 QString::fromUtf8("Редактирование: Enter или DblClic на словаре"));
        QCOMPARE(widget.minimumWidth(), 50);
        QCOMPARE(widget.width(), 121);
        QVERIFY(widget.isHidden());
        list.Refill(Dir());
        QCOMPARE(list.Items(),
                 (std::vector<std::string>{"A.dic", "b.dic", "rules.ini", Cp("Ёж.dic")}));
        list.Refill(Dir());
        QCOMPARE(widget.count(), 4);
        list.Refill(Dir() / "missing");
        QCOMPARE(widget.count(), 0);
    }

    void checksAndClicks() {
        QListWidget widget;
        DictionaryList list(&widget);
        int clicks = 0;
        list.onClickCheck = [&] { ++clicks; };
        list.Refill(Dir());
        list.SetChecks("b.dic+RULES.INI+gone.dic");
        QCOMPARE(clicks, 0);
        QCOMPARE(list.CheckedItemsToStr(), std::string("b.dic+rules.ini"));
        list.SetChecks("");
        QCOMPARE(list.CheckedItemsToStr(), std::string("b.dic+rules.ini"));
        // The user ticks "A.dic": the selection follows the panel order.
        widget.item(0)->setCheckState(Qt::Checked);
        QCOMPARE(clicks, 1);
        QCOMPARE(list.CheckedItemsToStr(), std::string("A.dic+b.dic+rules.ini"));
    }

    void enterAndDoubleClickEdit() {
        QListWidget widget;
        DictionaryList list(&widget);
        int edits = 0;
        list.onEdit = [&] { ++edits; };
        list.Refill(Dir());
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QCOMPARE(list.HighlightedItem(), std::string());
        widget.setCurrentRow(1);
        QCOMPARE(list.HighlightedItem(), std::string("b.dic"));
        QTest::keyClick(&widget, Qt::Key_Return);
        QCOMPARE(edits, 1);
        const QRect r = widget.visualItemRect(widget.item(2));
        QTest::mouseClick(widget.viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(widget.viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(edits, 2);
    }
};

VOCALIX_QTEST_MAIN(DictionaryListTest)
#include "DictionaryList_qtest.moc"
