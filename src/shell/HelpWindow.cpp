#include "shell/HelpWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

namespace vocalix::shell {

HelpWindow::HelpWindow(const std::filesystem::path& htmlFile, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowFlag(Qt::Window);
    setWindowTitle(QString::fromUtf8("Vocalix — справка"));
    setAccessibleName(windowTitle());

    auto* label = new QLabel(QString::fromUtf8("&Поиск:"), this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("HelpSearch"));
    m_search->setAccessibleName(QString::fromUtf8("Поиск в справке"));
    m_search->setToolTip(QString::fromUtf8("Текст для поиска; Enter или F3 — следующее место"));
    label->setBuddy(m_search);
    auto* find = new QPushButton(QString::fromUtf8("&Найти"), this);
    find->setObjectName(QStringLiteral("HelpFind"));
    find->setAccessibleName(QString::fromUtf8("Найти следующее"));
    find->setAutoDefault(false);
    auto* close = new QPushButton(QString::fromUtf8("&Закрыть"), this);
    close->setObjectName(QStringLiteral("HelpClose"));
    close->setAccessibleName(QString::fromUtf8("Закрыть справку"));
    close->setAutoDefault(false);
    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(m_search, 1);
    top->addWidget(find);
    top->addWidget(close);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    m_contents = new QListWidget(splitter);
    m_contents->setObjectName(QStringLiteral("HelpContents"));
    m_contents->setAccessibleName(QString::fromUtf8("Содержание справки"));
    m_browser = new QTextBrowser(splitter);
    m_browser->setObjectName(QStringLiteral("HelpText"));
    m_browser->setAccessibleName(QString::fromUtf8("Текст справки"));
    m_browser->setOpenExternalLinks(true);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);

    const QString path = QString::fromStdString(htmlFile.string());
    m_browser->setSearchPaths({QString::fromStdString(htmlFile.parent_path().string())});
    m_browser->setSource(QUrl::fromLocalFile(path), QTextDocument::HtmlResource);
    FillContents();
    splitter->setSizes({220, 640});
    resize(900, 620);

    connect(m_contents, &QListWidget::currentRowChanged, this, &HelpWindow::ShowEntry);
    connect(m_search, &QLineEdit::returnPressed, this, &HelpWindow::FindNext);
    connect(find, &QPushButton::clicked, this, &HelpWindow::FindNext);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* next = new QShortcut(QKeySequence::FindNext, this);
    connect(next, &QShortcut::activated, this, &HelpWindow::FindNext);
    auto* focusSearch = new QShortcut(QKeySequence::Find, this);
    connect(focusSearch, &QShortcut::activated, this, [this] {
        m_search->setFocus();
        m_search->selectAll();
    });
    setTabOrder(m_search, find);
    setTabOrder(find, close);
    setTabOrder(close, m_contents);
    setTabOrder(m_contents, m_browser);
}

void HelpWindow::FillContents() {
    m_contents->clear();
    for (QTextBlock block = m_browser->document()->begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 1 || level > 3 || block.text().trimmed().isEmpty())
            continue;
        auto* item = new QListWidgetItem(
            QString(2 * (level - 1), QLatin1Char(' ')) + block.text().trimmed(), m_contents);
        item->setData(Qt::UserRole, block.position());
    }
}

void HelpWindow::ShowEntry(int row) {
    QListWidgetItem* item = m_contents->item(row);
    if (!item)
        return;
    const QTextBlock block = m_browser->document()->findBlock(item->data(Qt::UserRole).toInt());
    QTextCursor cursor(block);
    m_browser->setTextCursor(cursor);
    const QRectF rect = m_browser->document()->documentLayout()->blockBoundingRect(block);
    m_browser->verticalScrollBar()->setValue(static_cast<int>(rect.top()));
}

bool HelpWindow::FindNext() {
    const QString text = m_search->text();
    if (text.isEmpty())
        return false;
    if (m_browser->find(text))
        return true;
    m_browser->moveCursor(QTextCursor::Start);
    return m_browser->find(text);
}

} // namespace vocalix::shell
