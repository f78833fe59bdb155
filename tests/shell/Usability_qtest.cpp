// Keyboard access, reachable pages and names for assistive technology in the main window.
#include "QtTestMain.h"
#include "ScriptedPrompter.h"
#include "base/QtText.h"
#include "shell/HelpWindow.h"
#include "shell/MenuKeys.h"
#include "shell/Prompter.h"
#include "shell/TForm1.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <memory>

using namespace vocalix::shell;
using vocalix::base::U;
using vocalix::shell::testing::ScriptedPrompter;

class UsabilityTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void menuCaptionsKeepTheirText();
    void altLetterOpensMenuInBothLayouts_data();
    void altLetterOpensMenuInBothLayouts();
    void sharedLetterOpensTheMenusInTurn();
    void altLetterOfNoMenuTypesNothing();
    void altAloneFocusesTheMenuBar();
    void allTabsReachableAndToolBarsWhole();
    void dictionaryPanelFitsNamesAndKeepsDraggedWidth();
    void everyControlHasAnAccessibleName();
    void pageEditorsNamedAfterPageAndFile();
    void helpWindowHasContentsAndSearch();
    void typingUndoneLeavesThePageUnmodifiedForEveryCommand();
    void charCodePanelEmptyOnEmptyPage();
    void recentMenuAndTitleFollowEveryOpenAndSave();
    void dialogsHaveADefaultButtonAndCloseWithEscape();
    void fileDialogsInRussianWithPlainFilterEntries();

private:
    QMenu* OpenPopup() const { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }
    void CloseMenus();
    // Alt with a key of either layout (QTest's keyClick knows Latin keys only).
    static void AltKey(QWidget* widget, int key) {
        const QString text = QChar(key).toLower();
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key(key), text, Qt::AltModifier);
        if (QWidget* focus = QApplication::activePopupWidget())
            widget = focus;
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key(key), text, Qt::AltModifier);
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<TForm1> m_form;
};

void UsabilityTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompter = std::make_unique<ScriptedPrompter>();
    m_form = std::make_unique<TForm1>(m_dir->path().toStdString(), *m_prompter);
    m_form->CreateOtherWindows();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    m_form->ActiveEditor->setFocus();
}

void UsabilityTest::cleanup() {
    CloseMenus();
    m_form.reset();
    QVERIFY2(m_prompter->unexpected.isEmpty(), qPrintable(m_prompter->unexpected.join("; ")));
}

void UsabilityTest::CloseMenus() {
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
}

void UsabilityTest::menuCaptionsKeepTheirText() {
    QStringList captions;
    for (QAction* action : m_form->menuBar()->actions())
        captions << QString(action->text()).remove(QLatin1Char('&'));
    QCOMPARE(captions, QStringList({U("Файл"), U("Правка"), U("Формат"), U("Речь"), U("Сервис"),
                                    U("Закладки"), U("Помощь")}));
    for (QAction* action : m_form->menuBar()->actions())
        QVERIFY2(action->text().startsWith(QLatin1Char('&')), qPrintable(action->text()));
}

void UsabilityTest::altLetterOpensMenuInBothLayouts_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("menu");
    QTest::newRow("Ф") << int(QChar(u'Ф').unicode()) << "NFile";
    QTest::newRow("A") << int(Qt::Key_A) << "NFile";
    QTest::newRow("Р") << int(QChar(u'Р').unicode()) << "NSpeak";
    QTest::newRow("H") << int(Qt::Key_H) << "NSpeak";
    QTest::newRow("С") << int(QChar(u'С').unicode()) << "NPrefs";
    QTest::newRow("C") << int(Qt::Key_C) << "NPrefs";
    QTest::newRow("З") << int(QChar(u'З').unicode()) << "NZaklad";
    QTest::newRow("P") << int(Qt::Key_P) << "NZaklad";
}

void UsabilityTest::altLetterOpensMenuInBothLayouts() {
    QFETCH(int, key);
    QFETCH(QString, menu);
    PageEditor* editor = m_form->ActiveEditor;
    AltKey(editor, key);
    QTRY_VERIFY(OpenPopup());
    QCOMPARE(OpenPopup()->objectName(), menu);
    // Either layout opens the menu on its first command, ready for Enter.
    QVERIFY(OpenPopup()->activeAction());
    QCOMPARE(OpenPopup()->activeAction(), OpenPopup()->actions().constFirst());
    QVERIFY(editor->toPlainText().isEmpty()); // nothing typed into the page
}

void UsabilityTest::sharedLetterOpensTheMenusInTurn() {
    // "Файл" and "Формат", "Правка" and "Помощь" share their first letters.
    const struct {
        int key;
        const char* first;
        const char* second;
    } cases[] = {{QChar(u'Ф').unicode(), "NFile", "NFormat"},
                 {Qt::Key_A, "NFile", "NFormat"},
                 {Qt::Key_G, "NEdit", "NHelp"},
                 {QChar(u'П').unicode(), "NEdit", "NHelp"}};
    for (const auto& c : cases) {
        m_form->ActiveEditor->setFocus();
        AltKey(m_form->ActiveEditor, c.key);
        QTRY_VERIFY(OpenPopup());
        QCOMPARE(OpenPopup()->objectName(), QString::fromLatin1(c.first));
        AltKey(OpenPopup(), c.key);
        QTRY_COMPARE(OpenPopup() ? OpenPopup()->objectName() : QString(),
                     QString::fromLatin1(c.second));
        CloseMenus();
        QTest::qWait(10);
    }
}

void UsabilityTest::altLetterOfNoMenuTypesNothing() {
    // "Ы" (the Latin S) and a digit begin no menu; the page must stay as it was.
    PageEditor* editor = m_form->ActiveEditor;
    for (int key : {int(Qt::Key_S), int(QChar(u'Ы').unicode()), int(Qt::Key_1)})
        AltKey(editor, key);
    QTest::qWait(20);
    QVERIFY(!OpenPopup());
    QVERIFY(editor->toPlainText().isEmpty());
    QVERIFY(!editor->document()->isModified());
    QTest::keyClick(editor, Qt::Key_S);
    QCOMPARE(editor->toPlainText(), QStringLiteral("s"));
}

void UsabilityTest::altAloneFocusesTheMenuBar() {
    QTest::keyPress(m_form->ActiveEditor, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(m_form->ActiveEditor, Qt::Key_Alt, Qt::NoModifier);
    QTRY_VERIFY(m_form->menuBar()->hasFocus());
    // The Latin key of "Р" then opens "Речь" from the focused bar.
    QTest::keyClick(m_form->menuBar(), Qt::Key_H);
    QTRY_VERIFY(OpenPopup());
    QCOMPARE(OpenPopup()->objectName(), QStringLiteral("NSpeak"));
}

void UsabilityTest::allTabsReachableAndToolBarsWhole() {
    m_form->resize(714, 584);
    QTabBar* tabs = m_form->PageControl1->tabBar();
    for (int i = 0; i < tabs->count(); ++i)
        m_form->PageControl1->setTabText(i, m_form->PageControl1->tabText(i) +
                                                QStringLiteral(" - a rather long book name"));
    QTest::qWait(50);
    // The last tab can be scrolled to and becomes the visible, selected one.
    QVERIFY(m_form->PageControl1->usesScrollButtons());
    m_form->ActivatePage(TForm1::kPages - 1);
    QTRY_VERIFY(tabs->rect().contains(tabs->tabRect(TForm1::kPages - 1)));
    // Both toolbars show every control: nothing overflows into the extension button.
    for (QToolBar* bar : {m_form->ToolBar1, m_form->ToolBar2}) {
        for (QAction* action : bar->actions()) {
            if (action->isSeparator() || !action->isVisible())
                continue;
            QWidget* widget = bar->widgetForAction(action);
            QVERIFY2(widget && widget->isVisible(), qPrintable(action->objectName()));
            QVERIFY2(bar->rect().contains(widget->geometry()), qPrintable(action->objectName()));
        }
    }
    QVERIFY(m_form->ComboBox1->width() >= 150);
    // With room to spare the voice list has its full width again.
    m_form->resize(1100, 584);
    QTRY_COMPARE(m_form->ComboBox1->width(), 338);
}

void UsabilityTest::dictionaryPanelFitsNamesAndKeepsDraggedWidth() {
    const QString longest = QStringLiteral("mueller7_stress_accents_of_the_long_words.dic");
    QDir(m_dir->path()).mkpath(QStringLiteral("dic"));
    for (const QString& name : {QStringLiteral("a.dic"), longest}) {
        QFile file(m_dir->path() + QStringLiteral("/dic/") + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x=y\r\n");
    }
    m_form->resize(900, 584);
    QTest::qWait(20);
    QListWidget* list = m_form->CheckListBox1;
    m_form->ADicExecute();
    QTRY_VERIFY(list->isVisible());
    const int text = list->fontMetrics().horizontalAdvance(longest);
    QVERIFY2(list->width() > text, qPrintable(QString::number(list->width())));
    QVERIFY(list->width() <= m_form->width() / 3);

    // Dragging the divider far to the right stops short of hiding the pages.
    QSplitterHandle* handle = m_form->Splitter1->handle(1);
    const QPoint grip = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QTest::mouseMove(handle, grip + QPoint(-60, 0));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(-60, 0));
    const int dragged = list->width();
    QVERIFY(dragged < text + 10);
    QVERIFY(dragged > 40);
    QVERIFY(m_form->PageControl1->width() > 100);

    // Hidden and shown again: the dragged width stays.
    m_form->ADicExecute();
    QTRY_VERIFY(!list->isVisible());
    m_form->ADicExecute();
    QTRY_VERIFY(list->isVisible());
    QCOMPARE(list->width(), dragged);
}

void UsabilityTest::everyControlHasAnAccessibleName() {
    QList<QWidget*> widgets = m_form->findChildren<QWidget*>();
    QStringList unnamed;
    for (QWidget* widget : widgets) {
        // Qt's own inner parts (the spin box's editor, the toolbar's extension) are named by
        // the control they belong to.
        if (widget->objectName().startsWith(QStringLiteral("qt_")))
            continue;
        const bool control =
            qobject_cast<QAbstractButton*>(widget) || qobject_cast<QAbstractSpinBox*>(widget) ||
            qobject_cast<QComboBox*>(widget) || qobject_cast<QLineEdit*>(widget) ||
            qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ||
            qobject_cast<QTextEdit*>(widget);
        if (!control || qobject_cast<QLineEdit*>(widget->parentWidget()))
            continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(face);
        if (face->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << QStringLiteral("%1 (%2)").arg(widget->objectName(),
                                                     widget->metaObject()->className());
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

void UsabilityTest::pageEditorsNamedAfterPageAndFile() {
    QCOMPARE(m_form->RichEdit[1]->accessibleName(), U("Страница 1"));
    QCOMPARE(m_form->RichEdit[TForm1::kPages]->accessibleName(), U("Страница 0"));
    const QString path = m_dir->path() + U("/Книга.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("text\r\n");
    file.close();
    QVERIFY(m_form->OpenIntoActivePage(vocalix::shell::CpPath(path.toStdString())));
    QCOMPARE(m_form->ActiveEditor->accessibleName(), U("Страница 1, Книга.txt"));
}

void UsabilityTest::helpWindowHasContentsAndSearch() {
    QDir(m_dir->path()).mkpath(QStringLiteral("help"));
    QFile file(m_dir->path() + QStringLiteral("/help/Vocalix.html"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(U("<html><body><h1>Руководство</h1><p>начало</p><h2>Страницы</h2><p>вкладки</p>"
                 "<h2>Чтение</h2><p>диктор читает</p></body></html>")
                   .toUtf8());
    file.close();
    m_form->AHelpExecute();
    auto* help = m_form->findChild<HelpWindow*>();
    QVERIFY(help);
    QTRY_VERIFY(help->isVisible());
    QCOMPARE(help->contents()->count(), 3);
    QCOMPARE(help->contents()->item(2)->text().trimmed(), U("Чтение"));
    help->searchLine()->setText(U("диктор"));
    QVERIFY(help->FindNext());
    QCOMPARE(help->browser()->textCursor().selectedText(), U("диктор"));
    help->searchLine()->setText(U("нет такого"));
    QVERIFY(!help->FindNext());
    // A second F1 brings back the same window.
    m_form->AHelpExecute();
    QCOMPARE(m_form->findChildren<HelpWindow*>().size(), 1);
    help->close();
}

void UsabilityTest::typingUndoneLeavesThePageUnmodifiedForEveryCommand() {
    PageEditor* page = m_form->ActiveEditor;
    QTest::keyClicks(page, QStringLiteral("abc"));
    QVERIFY(page->Modified());
    m_form->PageControl1->setCurrentIndex(1); // away and back, as the user does
    m_form->PageControl1->setCurrentIndex(0);
    QVERIFY(m_form->PageModified[1]);
    while (page->document()->isUndoAvailable())
        m_form->EditUndoExecute();
    QVERIFY(page->toPlainText().isEmpty());
    QVERIFY(!page->Modified());
    QVERIFY(!m_form->PageModified[1]);
    // Neither closing nor "Создать" asks now (the prompter has no answer scripted).
    QVERIFY(m_form->FormCloseQuery());
    m_form->ACreateExecute();
}

void UsabilityTest::charCodePanelEmptyOnEmptyPage() {
    m_form->ActiveEditor->SetText("abc");
    m_form->ActiveEditor->SetSelStart(0);
    m_form->StatusExecute();
    QCOMPARE(m_form->StatusPanel[1]->text(), QStringLiteral("97"));
    m_form->ActiveEditor->SetText("");
    m_form->StatusExecute();
    QCOMPARE(m_form->StatusPanel[1]->text(), QString());
    m_form->ActiveEditor->SetModified(false);
}

void UsabilityTest::recentMenuAndTitleFollowEveryOpenAndSave() {
    QStringList paths;
    for (const char* name : {"/first.txt", "/second.txt"}) {
        paths << m_dir->path() + QLatin1String(name);
        QFile file(paths.back());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("text\r\n");
    }
    const auto firstRecent = [this] {
        const QList<QAction*> items = m_form->NFileRecent->actions();
        return items.isEmpty() ? QString() : items.front()->text();
    };
    QVERIFY(m_form->OpenIntoActivePage(CpPath(paths[0].toStdString())));
    QVERIFY(firstRecent().endsWith(QStringLiteral("first.txt")));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Vocalix - first.txt"));
    m_form->ActivatePage(1);
    m_form->PageControl1Change();
    QVERIFY(m_form->OpenIntoActivePage(CpPath(paths[1].toStdString())));
    QVERIFY(firstRecent().endsWith(QStringLiteral("second.txt")));
    m_form->ActivatePage(0);
    m_form->PageControl1Change();
    m_form->ASaveExecute();
    QVERIFY(firstRecent().endsWith(QStringLiteral("first.txt")));
}

void UsabilityTest::dialogsHaveADefaultButtonAndCloseWithEscape() {
    const QList<QDialog*> dialogs = m_form->findChildren<QDialog*>();
    QVERIFY(dialogs.size() >= 3); // about box, preferences, bookmarks
    for (QDialog* dialog : dialogs) {
        const QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
        const bool hasDefault = std::any_of(buttons.begin(), buttons.end(),
                                            [](QPushButton* b) { return b->isDefault(); });
        QVERIFY2(hasDefault, dialog->metaObject()->className());
        dialog->open();
        QTRY_VERIFY(dialog->isVisible());
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY2(!dialog->isVisible(), dialog->metaObject()->className());
    }
}

// Last: the translations stay installed for the rest of the program.
void UsabilityTest::fileDialogsInRussianWithPlainFilterEntries() {
    QVERIFY(LoadQtRussianTranslations());
    QFileDialog dialog(nullptr, U("Открыть"), m_dir->path(),
                       U("Текстовые файлы (.txt) (*.txt);;Все файлы (*.*)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    PrepareFileDialog(dialog);
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QVERIFY(types);
    QCOMPARE(types->itemText(0), U("Текстовые файлы (.txt)"));
    QCOMPARE(types->itemText(1), U("Все файлы"));
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    QVERIFY(buttons);
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), U("Отмена"));
    auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    QVERIFY(lookIn && !lookIn->text().contains(QStringLiteral("Look in")));
    QVERIFY(dialog.width() >= 800);
}

VOCALIX_QTEST_MAIN(UsabilityTest)
#include "Usability_qtest.moc"
