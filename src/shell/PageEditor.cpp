#include "shell/PageEditor.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <array>
#include <memory>

namespace vocalix::shell {

namespace {

// A whole 10 MB book passes through these conversions, so both directions are table lookups.
const std::array<char16_t, 256>& ToUnicodeTable() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = static_cast<char16_t>(base::Cp1251ToUnicode(static_cast<unsigned char>(i)));
        return t;
    }();
    return table;
}

const std::array<char, 65536>& FromUnicodeTable() {
    static const auto table = [] {
        auto t = std::make_unique<std::array<char, 65536>>();
        t->fill('?');
        for (int i = 0; i < 256; ++i)
            (*t)[ToUnicodeTable()[i]] = static_cast<char>(i);
        return t;
    }();
    return *table;
}

// Case folding of single cp1251 bytes for searches without regard to case.
const std::array<unsigned char, 256>& LowerTable() {
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const QChar lower = QChar(ToUnicodeTable()[i]).toLower();
            const char c = FromUnicodeTable()[lower.unicode()];
            t[i] = (c == '?' && i != '?') ? static_cast<unsigned char>(i)
                                          : static_cast<unsigned char>(c);
        }
        return t;
    }();
    return table;
}

bool IsLineBreak(QChar c) {
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QLatin1Char('\n');
}

} // namespace

QString Cp1251ToEditorText(std::string_view cp1251) {
    const auto& table = ToUnicodeTable();
    QString out(static_cast<qsizetype>(cp1251.size()), Qt::Uninitialized);
    QChar* dst = out.data();
    qsizetype n = 0;
    for (size_t i = 0; i < cp1251.size(); ++i) {
        const auto c = static_cast<unsigned char>(cp1251[i]);
        if (c == '\r') {
            dst[n++] = QLatin1Char('\n');
            if (i + 1 < cp1251.size() && cp1251[i + 1] == '\n')
                ++i;
        } else {
            dst[n++] = QChar(table[c]);
        }
    }
    out.truncate(n);
    return out;
}

std::string EditorTextToCp1251(const QString& raw) {
    const auto& table = FromUnicodeTable();
    std::string out;
    out.reserve(static_cast<size_t>(raw.size()) + static_cast<size_t>(raw.size()) / 32);
    for (const QChar c : raw) {
        if (IsLineBreak(c))
            out += "\r\n";
        else
            out += table[c.unicode()];
    }
    return out;
}

PageEditor::PageEditor(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_baseFont = font();
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &PageEditor::SelChange);
    connect(this, &QPlainTextEdit::selectionChanged, this, &PageEditor::SelChange);
    m_release.setSingleShot(true);
    m_release.setInterval(250);
    connect(&m_release, &QTimer::timeout, this, &PageEditor::ReleaseHiddenLayouts);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { NoteShaped(textCursor().blockNumber()); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &PageEditor::NoteVisibleBlocks);
}

void PageEditor::NoteShaped(int block) {
    if (m_shaped.empty() || m_shaped.back() != block)
        m_shaped.push_back(block);
    if (!m_release.isActive())
        m_release.start();
}

std::vector<int> PageEditor::VisibleBlocks() const {
    std::vector<int> numbers;
    const int height = viewport()->height();
    const QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        if (blockBoundingGeometry(block).translated(offset).top() > height)
            break;
        numbers.push_back(block.blockNumber());
    }
    return numbers;
}

void PageEditor::NoteVisibleBlocks() {
    for (const int number : VisibleBlocks())
        NoteShaped(number);
}

void PageEditor::ReleaseHiddenLayouts() {
    std::vector<int> keep = VisibleBlocks();
    const QTextCursor cursor = textCursor();
    keep.push_back(cursor.blockNumber());
    keep.push_back(document()->findBlock(cursor.anchor()).blockNumber());
    std::sort(m_shaped.begin(), m_shaped.end());
    m_shaped.erase(std::unique(m_shaped.begin(), m_shaped.end()), m_shaped.end());
    for (const int number : m_shaped) {
        if (std::find(keep.begin(), keep.end(), number) != keep.end())
            continue;
        const QTextBlock block = document()->findBlockByNumber(number);
        QTextLayout* layout = block.isValid() ? block.layout() : nullptr;
        if (layout && layout->lineCount() > 0) {
            // An empty layout pass drops the lines and the shaped text; the block keeps its
            // line count, so the scroll range does not change.
            layout->beginLayout();
            layout->endLayout();
        }
    }
    m_shaped = std::move(keep);
}

std::string PageEditor::Text() const {
    std::string text = EditorTextToCp1251(document()->toRawText());
    // The raw text may end with the document's closing separator, which is not part of it.
    const auto length = static_cast<size_t>(TextLength());
    if (text.size() > length)
        text.resize(length);
    return text;
}

void PageEditor::SetText(std::string_view cp1251) {
    setPlainText(Cp1251ToEditorText(cp1251));
    document()->setModified(false);
}

int PageEditor::TextLength() const {
    const QTextDocument* doc = document();
    return doc->characterCount() - 1 + doc->blockCount() - 1;
}

bool PageEditor::IsEmpty() const {
    return document()->characterCount() <= 1;
}

int PageEditor::LineCount() const {
    return document()->blockCount();
}

std::string PageEditor::Line(int index) const {
    const QTextBlock block = document()->findBlockByNumber(index);
    if (!block.isValid())
        return {};
    return EditorTextToCp1251(block.text());
}

void PageEditor::ReplaceLine(int index, std::string_view cp1251) {
    const QTextBlock block = document()->findBlockByNumber(index);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(Cp1251ToEditorText(cp1251));
}

bool PageEditor::LoadFromFile(const std::filesystem::path& file, std::string* error) {
    std::string bytes;
    if (!base::ReadFileBytes(file, bytes, error))
        return false;
    SetText(bytes);
    return true;
}

bool PageEditor::SaveToFile(const std::filesystem::path& file, std::string* error) const {
    return base::WriteFileAtomic(file, Text(), error);
}

void PageEditor::BeginUpdate() {
    if (m_updateDepth++ == 0)
        setUpdatesEnabled(false);
}

void PageEditor::EndUpdate() {
    if (m_updateDepth > 0 && --m_updateDepth == 0)
        setUpdatesEnabled(true);
}

int PageEditor::PositionToOffset(int position) const {
    const QTextDocument* doc = document();
    position = std::clamp(position, 0, doc->characterCount() - 1);
    return position + doc->findBlock(position).blockNumber();
}

int PageEditor::OffsetToPosition(int offset) const {
    const QTextDocument* doc = document();
    offset = std::clamp(offset, 0, TextLength());
    // The block holding the offset is the last one whose start, counted in CR LF offsets
    // (position + blockNumber), is not after it. Its number cannot exceed the number of the
    // block at the same raw position, as offsets only run ahead of positions.
    int lo = 0;
    int hi = doc->findBlock(offset).blockNumber();
    if (hi < 0)
        hi = doc->blockCount() - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (doc->findBlockByNumber(mid).position() + mid <= offset)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(lo);
    const int blockEnd = block.position() + block.length() - 1;
    // An offset between CR and LF stands at the end of the line.
    return std::min(offset - lo, blockEnd);
}

int PageEditor::SelStart() const {
    return PositionToOffset(textCursor().selectionStart());
}

int PageEditor::SelLength() const {
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return 0;
    return PositionToOffset(cursor.selectionEnd()) - PositionToOffset(cursor.selectionStart());
}

void PageEditor::SetSelStart(int offset) {
    SetSelection(offset, 0);
}

void PageEditor::SetSelLength(int length) {
    SetSelection(SelStart(), length);
}

void PageEditor::SetSelection(int start, int length) {
    const int anchor = OffsetToPosition(start);
    const int end = length > 0 ? OffsetToPosition(start + length) : anchor;
    QTextCursor cursor = textCursor();
    cursor.setPosition(anchor);
    if (end != anchor)
        cursor.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

std::string PageEditor::SelText() const {
    return EditorTextToCp1251(textCursor().selectedText());
}

void PageEditor::ReplaceSelection(std::string_view cp1251) {
    InsertCp1251(cp1251);
}

void PageEditor::InsertCp1251(std::string_view text) {
    QTextCursor cursor = textCursor();
    cursor.insertText(Cp1251ToEditorText(text));
    setTextCursor(cursor);
}

int PageEditor::CaretLine() const {
    return document()->findBlock(textCursor().selectionStart()).blockNumber();
}

int PageEditor::CaretColumn() const {
    const int position = textCursor().selectionStart();
    return position - document()->findBlock(position).position();
}

int PageEditor::CharAtCaret() const {
    const QTextDocument* doc = document();
    const int position = textCursor().selectionStart();
    if (position >= doc->characterCount() - 1)
        return 0;
    const QChar c = doc->characterAt(position);
    if (IsLineBreak(c))
        return '\r';
    return static_cast<unsigned char>(FromUnicodeTable()[c.unicode()]);
}

int PageEditor::Find(std::string_view what, int start, int length, bool matchCase) const {
    if (what.empty())
        return -1;
    const std::string text = Text();
    const auto size = static_cast<long long>(text.size());
    const long long from = std::clamp<long long>(start, 0, size);
    const long long to = length < 0 ? size : std::clamp<long long>(from + length, from, size);
    const std::string_view range(text.data() + from, static_cast<size_t>(to - from));
    size_t found = std::string_view::npos;
    if (matchCase) {
        found = range.find(what);
    } else {
        const auto& lower = LowerTable();
        const auto eq = [&lower](char a, char b) {
            return lower[static_cast<unsigned char>(a)] == lower[static_cast<unsigned char>(b)];
        };
        const auto it = std::search(range.begin(), range.end(), what.begin(), what.end(), eq);
        if (it != range.end())
            found = static_cast<size_t>(it - range.begin());
    }
    return found == std::string_view::npos ? -1 : static_cast<int>(from + found);
}

void PageEditor::ScrollCaretIntoView() {
    ensureCursorVisible();
}

bool PageEditor::CanFocus() const {
    return isVisible() && isEnabled() && focusPolicy() != Qt::NoFocus;
}

void PageEditor::GetZoomRatio(int& numerator, int& denominator) const {
    numerator = m_zoomNum;
    denominator = m_zoomDen;
}

void PageEditor::SetZoomRatio(int numerator, int denominator) {
    if (numerator <= 0 || denominator <= 0) {
        ResetZoom();
        return;
    }
    m_zoomNum = numerator;
    m_zoomDen = denominator;
    ApplyZoom();
}

void PageEditor::ResetZoom() {
    m_zoomNum = 0;
    m_zoomDen = 0;
    ApplyZoom();
}

void PageEditor::ApplyZoom() {
    QFont zoomed = m_baseFont;
    if (m_zoomDen > 0 && m_zoomNum > 0) {
        const double factor = static_cast<double>(m_zoomNum) / m_zoomDen;
        if (m_baseFont.pixelSize() > 0)
            zoomed.setPixelSize(std::max(1, static_cast<int>(m_baseFont.pixelSize() * factor)));
        else
            zoomed.setPointSizeF(std::max(1.0, m_baseFont.pointSizeF() * factor));
    }
    setFont(zoomed);
}

bool PageEditor::Modified() const {
    return document()->isModified();
}

void PageEditor::SetModified(bool modified) {
    document()->setModified(modified);
}

bool PageEditor::WordWrap() const {
    return lineWrapMode() != QPlainTextEdit::NoWrap;
}

void PageEditor::SetWordWrap(bool wrap) {
    setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void PageEditor::SetEditorFont(const QFont& font) {
    m_baseFont = font;
    ApplyZoom();
}

QColor PageEditor::TextColor() const {
    return palette().color(QPalette::Text);
}

void PageEditor::SetTextColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Text, color);
    setPalette(p);
}

QColor PageEditor::BackgroundColor() const {
    return palette().color(QPalette::Base);
}

void PageEditor::SetBackgroundColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

bool PageEditor::CanUndo() const {
    return document()->isUndoAvailable();
}

void PageEditor::DeleteSelection() {
    QTextCursor cursor = textCursor();
    cursor.removeSelectedText();
    setTextCursor(cursor);
}

bool PageEditor::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && !m_reserved.isEmpty()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        if (m_reserved.contains(pressed)) {
            event->ignore();
            return false;
        }
    }
    return QPlainTextEdit::event(event);
}

void PageEditor::keyPressEvent(QKeyEvent* event) {
    emit KeyDown(event->key(), event->modifiers());
    const QString typed = event->text();
    // Alt with a letter that opened no menu is a command key gone astray: it must not type into
    // the book, as it never does in other editors. AltGr arrives as a group switch and types.
    const Qt::KeyboardModifiers commandMods =
        event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
    if (commandMods == Qt::AltModifier && !typed.isEmpty() && typed.at(0).isPrint()) {
        event->ignore();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!isReadOnly() && (enter || typed.size() == 1)) {
        const char original = enter ? '\r' : FromUnicodeTable()[typed.at(0).unicode()];
        char key = original;
        if (m_keyPress)
            m_keyPress(key);
        if (key == 0) {
            event->accept();
            return;
        }
        // A line break typed with Shift would otherwise become a line separator inside the
        // block, which the CR LF offsets could not express.
        const bool representable =
            enter ||
            typed.at(0).unicode() == ToUnicodeTable()[static_cast<unsigned char>(original)];
        if (key != original || !representable || (enter && event->modifiers() != 0)) {
            InsertCp1251(std::string(1, key));
            event->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void PageEditor::keyReleaseEvent(QKeyEvent* event) {
    QPlainTextEdit::keyReleaseEvent(event);
    emit KeyUp(event->key(), event->modifiers());
}

void PageEditor::mousePressEvent(QMouseEvent* event) {
    QPlainTextEdit::mousePressEvent(event);
    emit MouseDown();
}

void PageEditor::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    emit MouseUp();
}

void PageEditor::insertFromMimeData(const QMimeData* source) {
    // Pasted and dropped text arrives as plain cp1251, like everything the page holds.
    if (source->hasText()) {
        InsertCp1251(base::Utf8ToCp1251(source->text().toUtf8().toStdString()));
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

} // namespace vocalix::shell
