#include "QtTestMain.h"
#include "base/Cp1251.h"
#include "shell/PageEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QTest>
#include <random>

using vocalix::base::Cp;
using vocalix::shell::PageEditor;

class PageEditorTest : public QObject {
    Q_OBJECT
private slots:
    void textRoundTripsWithCrLf();
    void loneLineEndsBecomeCrLf();
    void offsetsCountCrLfAsTwo_data();
    void offsetsCountCrLfAsTwo();
    void offsetTranslationOnRandomTexts();
    void linesAndReplaceLine();
    void selectionAndReplace();
    void caretLineColumnAndCharacter();
    void findWithAndWithoutCase();
    void keyPressHandlerSeesCharacterBeforeInsertion();
    void pasteIsPlainCp1251();
    void zoomRatio();
    void saveAndLoadFile();
};

void PageEditorTest::textRoundTripsWithCrLf() {
    PageEditor editor;
    const std::string text = Cp("Первая строка\r\n\r\nтретья\xA0с неразрывным пробелом\r\n");
    editor.SetText(text);
    QCOMPARE(editor.Text(), text);
    QCOMPARE(editor.TextLength(), static_cast<int>(text.size()));
    QCOMPARE(editor.LineCount(), 4);
    QVERIFY(!editor.Modified());
    // Every cp1251 byte but the line-end characters survives the round trip.
    std::string all;
    for (int c = 1; c < 256; ++c)
        if (c != '\r' && c != '\n')
            all += static_cast<char>(c);
    editor.SetText(all);
    QCOMPARE(editor.Text(), all);
    editor.SetText("");
    QVERIFY(editor.IsEmpty());
    QCOMPARE(editor.Text(), std::string());
}

void PageEditorTest::loneLineEndsBecomeCrLf() {
    PageEditor editor;
    editor.SetText("a\nb\rc\r\nd");
    QCOMPARE(editor.Text(), std::string("a\r\nb\r\nc\r\nd"));
}

void PageEditorTest::offsetsCountCrLfAsTwo_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("position");
    // "ab\r\n\r\ncd": offsets a0 b1 CR2 LF3 CR4 LF5 c6 d7 end8
    QTest::newRow("start") << 0 << 0;
    QTest::newRow("before CR") << 2 << 2;
    QTest::newRow("between CR and LF") << 3 << 2;
    QTest::newRow("empty line") << 4 << 3;
    QTest::newRow("inside empty line break") << 5 << 3;
    QTest::newRow("third line") << 6 << 4;
    QTest::newRow("end") << 8 << 6;
    QTest::newRow("past end") << 100 << 6;
    QTest::newRow("negative") << -5 << 0;
}

void PageEditorTest::offsetsCountCrLfAsTwo() {
    QFETCH(int, offset);
    QFETCH(int, position);
    PageEditor editor;
    editor.SetText("ab\r\n\r\ncd");
    QCOMPARE(editor.OffsetToPosition(offset), position);
}

void PageEditorTest::offsetTranslationOnRandomTexts() {
    std::mt19937 random(20261208);
    PageEditor editor;
    for (int round = 0; round < 30; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 2000);
        for (int i = 0; i < length; ++i) {
            const unsigned r = random() % 10;
            text += r == 0 ? std::string("\r\n") : std::string(1, static_cast<char>('a' + r));
        }
        editor.SetText(text);
        QCOMPARE(editor.Text(), text);
        // Every offset that is not the LF of a pair maps to a position and back unchanged;
        // the selected text starting there matches the string's own.
        for (int offset = 0; offset <= static_cast<int>(text.size()); ++offset) {
            if (offset > 0 && text[static_cast<size_t>(offset) - 1] == '\r')
                continue;
            const int position = editor.OffsetToPosition(offset);
            QCOMPARE(editor.PositionToOffset(position), offset);
        }
        for (int probe = 0; probe < 20 && !text.empty(); ++probe) {
            int start = static_cast<int>(random() % text.size());
            if (start > 0 && text[static_cast<size_t>(start) - 1] == '\r')
                --start;
            int end = start + static_cast<int>(random() % 50);
            end = std::min(end, static_cast<int>(text.size()));
            if (end > 0 && end < static_cast<int>(text.size()) &&
                text[static_cast<size_t>(end) - 1] == '\r')
                ++end;
            editor.SetSelection(start, end - start);
            QCOMPARE(editor.SelStart(), start);
            QCOMPARE(editor.SelLength(), end - start);
            QCOMPARE(editor.SelText(),
                     text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
        }
    }
}

void PageEditorTest::linesAndReplaceLine() {
    PageEditor editor;
    editor.SetText(Cp("один\r\nдва\r\nтри"));
    QCOMPARE(editor.LineCount(), 3);
    QCOMPARE(editor.Line(1), Cp("два"));
    QCOMPARE(editor.Line(7), std::string());
    editor.ReplaceLine(1, Cp("ДВА!"));
    QCOMPARE(editor.Text(), Cp("один\r\nДВА!\r\nтри"));
}

void PageEditorTest::selectionAndReplace() {
    PageEditor editor;
    editor.SetText("one\r\ntwo\r\nthree");
    editor.SetSelection(5, 3);
    QCOMPARE(editor.SelText(), std::string("two"));
    editor.ReplaceSelection("2\r\n2");
    QCOMPARE(editor.Text(), std::string("one\r\n2\r\n2\r\nthree"));
    QCOMPARE(editor.SelStart(), 9);
    QCOMPARE(editor.SelLength(), 0);
    editor.SetSelStart(3);
    editor.SetSelLength(4); // ends between CR and LF: half a line break cannot be selected
    QCOMPARE(editor.SelText(), std::string("\r\n2"));
    QCOMPARE(editor.SelLength(), 3);
    editor.DeleteSelection();
    QCOMPARE(editor.Text(), std::string("one\r\n2\r\nthree"));
}

void PageEditorTest::caretLineColumnAndCharacter() {
    PageEditor editor;
    editor.SetText(Cp("ab\r\nЯz"));
    editor.SetSelStart(4);
    QCOMPARE(editor.CaretLine(), 1);
    QCOMPARE(editor.CaretColumn(), 0);
    QCOMPARE(editor.CharAtCaret(), 0xDF); // 'Я'
    editor.SetSelStart(2);
    QCOMPARE(editor.CharAtCaret(), 13);
    editor.SetSelStart(6);
    QCOMPARE(editor.CaretColumn(), 2);
    QCOMPARE(editor.CharAtCaret(), 0); // after the last character
}

void PageEditorTest::findWithAndWithoutCase() {
    PageEditor editor;
    editor.SetText(Cp("Мама\r\nмыла РАМУ, рама"));
    QCOMPARE(editor.Find(Cp("рам"), 0, -1, true), 17);
    QCOMPARE(editor.Find(Cp("рам"), 0, -1, false), 11);
    QCOMPARE(editor.Find(Cp("мама"), 0, 100, false), 0);
    QCOMPARE(editor.Find(Cp("мама"), 1, 100, false), -1);
    QCOMPARE(editor.Find(Cp("рама"), 12, 8, false), -1); // range ends inside the word
    QCOMPARE(editor.Find(Cp("рама"), 12, 9, false), 17);
    QCOMPARE(editor.Find("", 0, 10, true), -1);
}

void PageEditorTest::keyPressHandlerSeesCharacterBeforeInsertion() {
    PageEditor editor;
    editor.SetText("ab");
    editor.SetSelStart(2);
    std::string seen;
    std::string textAtCall;
    editor.SetKeyPressHandler([&](char& key) {
        seen += key;
        textAtCall = editor.Text();
        if (key == 'x')
            key = 0; // swallowed
        else if (key == 'q')
            key = Cp("ё")[0]; // replaced
    });
    QTest::keyClicks(&editor, "cxq");
    QCOMPARE(seen, std::string("cxq"));
    QCOMPARE(textAtCall, std::string("abc")); // before 'q' went in
    QCOMPARE(editor.Text(), Cp("abcё"));
    QTest::keyClick(&editor, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(editor.Text(), Cp("abcё\r\n"));
    QCOMPARE(seen.back(), '\r');
}

void PageEditorTest::pasteIsPlainCp1251() {
    PageEditor editor;
    QApplication::clipboard()->setText(QString::fromUtf8("Ёж\nи 漢"));
    editor.paste();
    QCOMPARE(editor.Text(), Cp("Ёж\r\nи ?"));
}

void PageEditorTest::zoomRatio() {
    PageEditor editor;
    QFont font = editor.EditorFont();
    font.setPixelSize(20);
    editor.SetEditorFont(font);
    int num = -1, den = -1;
    editor.GetZoomRatio(num, den);
    QCOMPARE(den, 0);
    editor.SetZoomRatio(150, 100);
    editor.GetZoomRatio(num, den);
    QCOMPARE(num, 150);
    QCOMPARE(den, 100);
    QCOMPARE(editor.font().pixelSize(), 30);
    QCOMPARE(editor.EditorFont().pixelSize(), 20);
    editor.ResetZoom();
    QCOMPARE(editor.font().pixelSize(), 20);
}

void PageEditorTest::saveAndLoadFile() {
    QTemporaryDir dir;
    const std::filesystem::path file = dir.path().toStdString() + "/t.txt";
    PageEditor editor;
    editor.SetText(Cp("строка 1\r\nстрока 2"));
    QVERIFY(editor.SaveToFile(file));
    PageEditor other;
    QVERIFY(other.LoadFromFile(file));
    QCOMPARE(other.Text(), Cp("строка 1\r\nстрока 2"));
    std::string error;
    QVERIFY(!other.LoadFromFile(file.string() + ".missing", &error));
    QCOMPARE(other.Text(), Cp("строка 1\r\nстрока 2"));
}

VOCALIX_QTEST_MAIN(PageEditorTest)
#include "PageEditor_qtest.moc"
