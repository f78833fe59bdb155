#pragma once

#include <QColor>
#include <QFont>
#include <QPlainTextEdit>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vocalix::shell {

// One editor page. Its public interface speaks only Windows-1251 bytes and offsets in which a
// line break counts as the two characters CR LF, whatever the widget keeps inside. Offsets are
// translated through the document's block index on every call (no cache to go stale):
// offset = position + blockNumber.
class PageEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PageEditor(QWidget* parent = nullptr);

    // The whole text, cp1251 with CR LF line ends. Lone CR or LF in the input become CR LF.
    std::string Text() const;
    void SetText(std::string_view cp1251);
    // Length of Text() without building it.
    int TextLength() const;
    bool IsEmpty() const;

    // Lines are the CR LF separated pieces; an empty text has one empty line.
    int LineCount() const;
    std::string Line(int index) const;
    void ReplaceLine(int index, std::string_view cp1251);

    // Plain text files, bytes as they stand (line ends made CR LF on load). Saving is atomic.
    bool LoadFromFile(const std::filesystem::path& file, std::string* error = nullptr);
    bool SaveToFile(const std::filesystem::path& file, std::string* error = nullptr) const;

    // No repainting between the two; calls nest.
    void BeginUpdate();
    void EndUpdate();

    // The caret is the selection start when the length is 0. Setting the start collapses
    // the selection; a selection runs forward from its start.
    int SelStart() const;
    int SelLength() const;
    void SetSelStart(int offset);
    void SetSelLength(int length);
    void SetSelection(int start, int length);
    std::string SelText() const;
    void ReplaceSelection(std::string_view cp1251);

    // Zero-based line and column of the caret; the cp1251 code of the character after the
    // caret (0 when the caret stands after the last character).
    int CaretLine() const;
    int CaretColumn() const;
    int CharAtCaret() const;

    // Position of `what` in the text range [start, start + length), or -1.
    int Find(std::string_view what, int start, int length, bool matchCase) const;

    void ScrollCaretIntoView();
    bool CanFocus() const;

    // Zoom as a ratio; 1/1 is the font's own size. Denominator 0 means "no zoom" (as reset).
    void GetZoomRatio(int& numerator, int& denominator) const;
    void SetZoomRatio(int numerator, int denominator);
    void ResetZoom();

    bool Modified() const;
    void SetModified(bool modified);
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool readOnly) { setReadOnly(readOnly); }
    bool WordWrap() const;
    void SetWordWrap(bool wrap);

    // Font of the whole control (the unzoomed font); a plain-text page has one font, so the
    // selection font is the control's font.
    QFont EditorFont() const { return m_baseFont; }
    void SetEditorFont(const QFont& font);
    QColor TextColor() const;
    void SetTextColor(const QColor& color);
    QColor BackgroundColor() const;
    void SetBackgroundColor(const QColor& color);

    // Edit commands on the page.
    bool CanUndo() const;
    void DeleteSelection();

    // Offset translation between CR LF offsets and document positions (clamped to the text).
    int OffsetToPosition(int offset) const;
    int PositionToOffset(int position) const;

    // Called with the typed character (cp1251, Enter as '\r') before it is inserted. The
    // handler may change it, or set it to 0 to swallow the key.
    // Key combinations that belong to the window's commands: the page does not take them for
    // its own key bindings (such as Ctrl+K), so the command runs.
    void SetReservedShortcuts(QList<QKeySequence> shortcuts) { m_reserved = std::move(shortcuts); }

    using KeyPressHandler = std::function<void(char& key)>;
    void SetKeyPressHandler(KeyPressHandler handler) { m_keyPress = std::move(handler); }

signals:
    void SelChange();
    void KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void KeyUp(int key, Qt::KeyboardModifiers modifiers);
    void MouseDown();
    void MouseUp();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void ApplyZoom();
    void InsertCp1251(std::string_view text);
    // Qt keeps the shaped text of every block it has laid out, about 40 bytes a character, for
    // the document's life: reading a book aloud or scrolling through it would end up holding
    // all of it. Blocks that have left both the view and the caret give theirs back; Qt lays
    // them out again when they are needed.
    void NoteShaped(int block);
    std::vector<int> VisibleBlocks() const;
    void NoteVisibleBlocks();
    void ReleaseHiddenLayouts();

    QFont m_baseFont;
    int m_zoomNum = 0;
    int m_zoomDen = 0;
    int m_updateDepth = 0;
    KeyPressHandler m_keyPress;
    QList<QKeySequence> m_reserved;
    std::vector<int> m_shaped; // numbers of blocks that may hold a layout
    QTimer m_release;
};

// Conversions used by the page (exposed for the tests): cp1251 with any line ends to the
// widget's text with '\n' between lines, and the document's raw text back to cp1251 CR LF.
QString Cp1251ToEditorText(std::string_view cp1251);
std::string EditorTextToCp1251(const QString& raw);

} // namespace vocalix::shell
