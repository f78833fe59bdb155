// Office documents: the page's text to the word processor, and batch conversion to text.
#include "shell/TForm1.h"
#include "speech/SoundEffect.h"

#include "base/QtProcess.h"
#include "base/QtText.h"
#include "documents/OfficeConversion.h"
#include "documents/OpenDocument.h"

#include <QAction>
#include <QCoreApplication>
#include <QProgressBar>
#include <QUrl>

namespace vocalix::shell {
namespace fs = std::filesystem;

namespace {
using base::U;
} // namespace

void TForm1::AMSWordExecute() {
    if (!documents::TextToWord(ActiveEditor->Text(), base::StartDetached))
        m_prompter.Inform(U("Не найден Microsoft Word"), CaptionVocalix(), Icon::Information);
}

// "sounds/complete.wav", never waited for and never over a sound still playing.
void TForm1::PlayCompleteSound() {
    // Never waited for; a machine without a working sound output simply stays quiet.
    const fs::path file = ProgramDir / "sounds" / "complete.wav";
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return;
    auto* effect = findChild<speech::SoundEffect*>(QStringLiteral("CompleteSound"));
    if (!effect) {
        effect = new speech::SoundEffect(this);
        effect->setObjectName(QStringLiteral("CompleteSound"));
    }
    effect->Play(file);
}

void TForm1::ABatchTxtExecute() {
    FileDialogOptions o;
    o.title = U("Открыть пакет. Выбор файлов: Shift+ArrowDn и/или Ctrl+LeftMouseClick");
    o.filter = U("DOC, DOCX, RTF, HTM, HTML, SHTML, FB2, EPUB (*.doc *.docx *.rtf *.html *.htm "
                 "*.shtml *.fb2 *.epub);;Все файлы (*)");
    o.defaultExtension = QStringLiteral("txt");
    const QStringList files = m_prompter.OpenFiles(o);
    if (files.isEmpty())
        return;
    const QString folder =
        m_prompter.PickFolder(U("Выберите куда поместить сконвертированные тексты"), QString());
    if (folder.isEmpty())
        return;
    std::string target = CpPath(fs::path(folder.toStdString()));
    if (target.back() != '/')
        target += '/';
    QAction* command = Command("ABatchTxt");
    command->setEnabled(false); // the window stays live while office documents convert
    ProgressBar1->setRange(0, static_cast<int>(files.size()));
    const auto slot = static_cast<size_t>(ActivePageIndex() + 1);
    for (qsizetype k = 0; k < files.size(); ++k) {
        ProgressBar1->setValue(static_cast<int>(k + 1));
        QCoreApplication::processEvents();
        std::string name = CpPath(fs::path(files[k].toStdString()));
        const OpenOutcome outcome = XOpenTo(name, target);
        // A file that could not be read or converted has left the page as it was (the message
        // was shown): saving that text under the source's name would lose the source.
        if (outcome == OpenOutcome::Unchanged || name.empty())
            continue;
        std::string error;
        const std::string written =
            documents::WriteNewText(FsPath(name).string(), ActiveEditor->Text(), &error);
        if (written.empty()) {
            m_prompter.Inform(U("Не удалось сохранить файл ") + base::ToQString(name) + "\n" +
                                  QString::fromStdString(error),
                              CaptionVocalix(), Icon::Error);
            continue;
        }
        CurrentFileName = CpPath(fs::path(written));
        ActiveEditor->SetModified(false);
        PageModified[slot] = false;
        PageFileName[slot] = CurrentFileName;
        APTitle(static_cast<int>(slot) - 1);
    }
    ProgressBar1->setValue(0);
    command->setEnabled(true);
    PicShow();
    PlayCompleteSound();
    m_prompter.Inform(U("Конвертация завершена. Всего файлов: ") + QString::number(files.size()),
                      CaptionVocalix(), Icon::None);
}

} // namespace vocalix::shell
