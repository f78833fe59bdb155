// The picture panel beside the pages: the pictures of a converted book, one at a time.
#include "shell/TForm1.h"

#include "base/QtText.h"
#include "base/Settings.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QResizeEvent>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace vocalix::shell {

namespace {

using base::U;

void SetHint(QAction* action, const QString& hint) {
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    action->setToolTip(hint.left(bar));
    action->setStatusTip(hint.mid(bar + 1));
}

} // namespace

void TForm1::BuildPicturePanel() {
    // The buttons go under the picture.
    auto* layout = static_cast<QVBoxLayout*>(Panel1->layout());
    layout->removeWidget(ToolBar3);
    layout->addWidget(ToolBar3);
    Image1Scroll->setObjectName(QStringLiteral("Image1Scroll"));
    Image1Scroll->setWidgetResizable(true);
    Image1->setMinimumSize(1, 1);
    Image1->setToolTip(U("Скрыть/показать картинку Ctrl+K"));
    Image1->setStatusTip(U("Скрыть/показать картинку Ctrl+K"));
    Image1->setAccessibleName(U("Картинка"));
    Panel1->setAccessibleName(U("Картинки к тексту"));
    ToolBar3->setAccessibleName(U("Картинки"));
    const struct {
        const char* name;
        const char* caption;
        const char* hint;
        void (TForm1::*handler)();
    } buttons[] = {
        {"TBPrev", "Назад", "Назад|Предыдущая картинка", &TForm1::PrevClick},
        {"TBNext", "Вперед", "Вперед|Следующая картинка", &TForm1::NextClick},
        {"TBDele", "Удалить", "Удалить|Удалить картинку", &TForm1::DeleClick},
        {"TBDeleAll", "Удалить все", "Удалить все|Удалить все картинки", &TForm1::DeleAllClick},
    };
    for (const auto& b : buttons) {
        auto* action = ToolBar3->addAction(U(b.caption));
        action->setObjectName(QString::fromLatin1(b.name));
        SetHint(action, U(b.hint));
        connect(action, &QAction::triggered, this, b.handler);
        if (auto* button = qobject_cast<QToolButton*>(ToolBar3->widgetForAction(action))) {
            button->setObjectName(QString::fromLatin1(b.name) + QStringLiteral("Button"));
            button->setFocusPolicy(Qt::StrongFocus);
            button->setAccessibleName(U(b.caption));
        }
    }
}

void TForm1::PicShow() {
    if (m_options.PicImport && Pictures.Refresh(FsPath(CurrentFileName), PicIndex)) {
        PicIndex = Pictures.Index();
        PagePicNumber[static_cast<size_t>(ActivePageIndex() + 1)] = PicIndex;
        PicLarge();
        LoadPicture();
        StatusExecute();
        return;
    }
    PicHide();
}

// No pictures for the current text: Ctrl+K has nothing to show until the next PicShow.
void TForm1::PicHide() {
    Pictures.Clear();
    m_picture = QPixmap();
    Image1->clear();
    PicSmall();
    StatusExecute();
}

// The picture PicIndex into the picture box; a file that cannot be decoded says so in the box,
// and the buttons stay usable.
bool TForm1::LoadPicture() {
    m_picture = QPixmap();
    Image1->clear();
    if (Pictures.Empty())
        return false;
    if (!m_picture.load(QString::fromStdString(Pictures.Current().string()))) {
        Image1->setText(U("Не удалось показать картинку ") +
                        QString::fromStdString(Pictures.Current().filename().string()));
        Image1->setWordWrap(true);
        return false;
    }
    ScalePicture();
    return true;
}

void TForm1::ScalePicture() {
    if (m_picture.isNull())
        return;
    const QSize area = Image1Scroll->viewport()->size();
    Image1->setPixmap(m_picture.scaled(area.expandedTo(QSize(1, 1)), Qt::KeepAspectRatio,
                                       Qt::SmoothTransformation));
}

void TForm1::PicLarge() {
    m_options.PicMargin = base::BoundPicMargin(m_options.PicMargin, width());
    Panel1->show();
    ToolBar3->show();
    AResizeExecute();
}

void TForm1::PicSmall() {
    Panel1->hide();
    ToolBar3->hide();
    QList<int> sizes = Splitter1->sizes();
    if (sizes.size() == 3) {
        sizes[1] += sizes[2];
        sizes[2] = 0;
        Splitter1->setSizes(sizes);
    }
}

void TForm1::AResizeExecute() {
    if (Panel1->isHidden())
        return;
    QList<int> sizes = Splitter1->sizes();
    if (sizes.size() != 3)
        return;
    const int all = sizes[0] + sizes[1] + sizes[2];
    const int margin = base::BoundPicMargin(m_options.PicMargin, width());
    // Beside the dictionary panel the pages end at the margin all the same.
    const int dictionary = CheckListBox1->isHidden() ? 0 : sizes[0] + Splitter1->handleWidth();
    sizes[1] = std::max(0, margin - dictionary);
    sizes[2] = std::max(0, all - sizes[0] - sizes[1]);
    Splitter1->setSizes(sizes);
    ScalePicture();
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    AResizeExecute();
}

void TForm1::APicLargeSmallExecute() {
    if (Pictures.Empty())
        return;
    if (Panel1->isHidden()) {
        PicLarge();
        LoadPicture();
    } else {
        PicSmall();
    }
    StatusExecute();
}

void TForm1::PrevClick() {
    Pictures.Prev();
    PicIndex = Pictures.Index();
    PagePicNumber[static_cast<size_t>(ActivePageIndex() + 1)] = PicIndex;
    LoadPicture();
    StatusExecute();
}

void TForm1::NextClick() {
    Pictures.Next();
    PicIndex = Pictures.Index();
    PagePicNumber[static_cast<size_t>(ActivePageIndex() + 1)] = PicIndex;
    LoadPicture();
    StatusExecute();
}

void TForm1::DeleClick() {
    if (Pictures.Empty() || m_prompter.Ask(U("Удалить картинку?"), CaptionVocalix(),
                                           Buttons::OkCancel, Icon::None) != Answer::Ok)
        return;
    if (!Pictures.DeleteCurrent())
        m_prompter.Inform(U("Не удалось удалить картинку ") +
                              QString::fromStdString(Pictures.Current().string()),
                          CaptionVocalix(), Icon::Warning);
    PicShow();
}

void TForm1::DeleAllClick() {
    if (Pictures.Empty() ||
        m_prompter.Ask(U("Удалить ВСЕ картинки к этому тексту??"), CaptionVocalix(),
                       Buttons::OkCancel, Icon::Warning) != Answer::Ok)
        return;
    const std::string folder = Pictures.Folder().string();
    if (!Pictures.DeleteAll())
        m_prompter.Inform(U("Не удалось удалить все картинки из папки ") +
                              QString::fromStdString(folder),
                          CaptionVocalix(), Icon::Warning);
    PicHide();
}

} // namespace vocalix::shell
