// Recording to audio files, series and batch recording.

// Before any Qt header: it declares a member named like a Qt keyword macro.
#include "textprep/CorrectionRules.h"

#include "shell/TForm1.h"

#include "audio/AudioTags.h"
#include "audio/Recorder.h"
#include "audio/Series.h"
#include "base/Cp1251.h"
#include "base/QtText.h"
#include "documents/DocumentFiles.h"
#include "shell/WindowText.h"
#include "speech/AudioPlayer.h"
#include "speech/Engines.h"
#include "speech/Fragments.h"
#include "speech/Reader.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QSpinBox>

#include <array>
#include <chrono>
#include <thread>

namespace vocalix::shell {
namespace fs = std::filesystem;

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

void ProcessPendingMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// What a page is cut into when it has no file name: a name from its first line in the
// program folder.
fs::path SeriesBase(const TForm1& f, const std::string& text) {
    if (!f.CurrentFileName.empty())
        return FsPath(f.CurrentFileName);
    return f.ProgramDir / FsPath(documents::NameFromFirstLines(text));
}

// MakeSeries on the active page with the progress bar running; a refusal is shown.
audio::SeriesResult CutIntoSeries(TForm1& f, const std::string& folderExt) {
    const std::string text = f.ActiveEditor->Text();
    f.ProgressBar1->setRange(0, 100);
    const audio::SeriesResult series = audio::MakeSeries(
        text, SeriesBase(f, text), folderExt,
        {f.m_options.BytesInBlock, f.m_options.ChapHeadSencitive, f.m_options.Header},
        [&f](int line, int lines) {
            f.ProgressBar1->setValue(line * 100 / std::max(lines, 1));
            if (line % 200 == 0)
                ProcessPendingMessages();
        });
    f.ProgressBar1->setValue(0);
    if (!series.error.empty())
        f.prompter().Inform(base::ToQString(series.error), CaptionVocalix(), Icon::Warning);
    return series;
}

// What the audio file of the page being recorded tells about itself: its book, and its part
// number when it is a part of a series.
audio::AudioTags RecordingTags(const TForm1& f) {
    if (f.BatchActive && !f.SeriesSource.empty())
        return audio::TagsForText(f.SeriesSource, f.BatchIndex + 1);
    return audio::TagsForText(f.CurrentFileName.empty() ? fs::path() : FsPath(f.CurrentFileName));
}

} // namespace

bool TForm1::IsRecording() const {
    return !AudioFileName.empty();
}

std::string TForm1::RecordingFileTitle() const {
    return AudioFileName.empty() ? std::string() : CpPath(AudioFileName.filename());
}

void TForm1::AMP3Execute() {
    if (ActiveEditor->IsEmpty() || IsRecording())
        return;
    if (m_options.AudioSplit) {
        const audio::SeriesResult series = CutIntoSeries(*this, ".audio");
        if (!series.error.empty())
            return;
        std::error_code ec;
        if (series.parts.size() > 1) {
            std::vector<std::string> parts;
            for (const fs::path& part : series.parts)
                parts.push_back(CpPath(part));
            SeriesSource = SeriesBase(*this, ActiveEditor->Text());
            BatchMP3(parts);
            SeriesSource.clear();
            for (const fs::path& part : series.parts)
                fs::remove(part, ec);
            return;
        }
        // One part: the page is recorded whole and the lone part text is not left behind.
        for (const fs::path& part : series.parts)
            fs::remove(part, ec);
        if (!series.folder.empty())
            fs::remove(series.folder, ec); // only when empty
    }
    MP3();
}

bool TForm1::MP3() {
    EnsureSpeech();
    if (!m_reader->CheckEngine())
        return false;
    if (m_reader->IsReading) {
        if (m_reader->IsPaused)
            m_reader->ResumeSpeech();
        TimerNextFragment->stop();
        m_reader->StopSpeech();
    }
    if (m_options.AudioFromTop) {
        ActiveEditor->SetSelection(0, 0);
        ActiveEditor->ScrollCaretIntoView();
    }
    m_options.XNumber = cbX->currentIndex();
    AudioFileName = audio::WavPathFor(
        CurrentFileName.empty() ? fs::path() : FsPath(CurrentFileName), ProgramDir);
    m_reader->IsRecording = true;
    m_reader->StopRequested = false;
    const int start = ActiveEditor->SelStart();
    return m_options.SAPI5 ? RecordSapi5(start) : RecordSapi4();
}

void TForm1::ShowConverting(bool on) {
    SetItemEnabled("TBStop", !on);
    SetItemEnabled("NSpeakStop", !on);
    if (on) {
        m_panel3BeforeConverter = StatusPanel[3]->text();
        StatusPanel[3]->setText(U("РАБОТАЕТ АУДИО-КОНВЕРТЕР. ЖДИТЕ..."));
        ProcessPendingMessages();
    } else {
        StatusPanel[3]->setText(m_panel3BeforeConverter);
    }
}

void TForm1::ReportConversion(const audio::RecordOutcome& outcome) {
    if (!outcome.record.error.empty())
        m_prompter.Inform(base::ToQString(outcome.record.error), CaptionVocalix(), Icon::Error);
    if (outcome.converterRan && !outcome.convert.message.empty()) {
        if (outcome.convert.status == audio::ConvertResult::Status::NotStarted)
            m_prompter.Inform(base::ToQString(outcome.convert.message), CaptionOops(), Icon::Error);
        else
            m_prompter.Inform(base::ToQString(outcome.convert.message), CaptionVocalix(),
                              Icon::Warning);
    }
    if (!outcome.subtitlesError.empty())
        m_prompter.Inform(U("Субтитры не записаны: ") + base::ToQString(outcome.subtitlesError),
                          CaptionVocalix(), Icon::Warning);
}

// The newer generation writes the file itself: the voice speaks each fragment into a file
// stream while the selection follows the fragments.
bool TForm1::RecordSapi5(int start) {
    const std::string text = ActiveEditor->Text().substr(static_cast<size_t>(start));
    audio::RecordSettings settings = audio::RecordSettingsOf(m_options);
    settings.tags = RecordingTags(*this);

    audio::RecordHooks hooks;
    hooks.pump = ProcessPendingMessages;
    hooks.stopRequested = [this] { return m_reader->StopRequested; };
    hooks.fragmentStarting = [this, start](int index, long long end) {
        ActiveEditor->SetSelection(start, static_cast<int>(end - 1));
        ActiveEditor->ScrollCaretIntoView();
        if (isVisible())
            ActiveEditor->setFocus();
        ProgressBar1->setValue(index);
    };
    bool filterFailed = false;
    if (m_reader->DictionariesActive())
        hooks.prepare = [this, &filterFailed](std::string& fragment) {
            if (m_reader->RexFilter)
                m_reader->RexFilter(fragment);
            if (!Filter(fragment, false)) // out of memory: the window is closing
                filterFailed = true;
            return !filterFailed;
        };

    ForbidUserFeatures();
    // The voice is fixed for the whole file: a change now would rebuild the engine under it.
    const std::array<QWidget*, 4> voiceControls{ComboBox1, cbX, trSpeed, trPitch};
    std::array<bool, 4> voiceEnabled{};
    for (size_t i = 0; i < voiceControls.size(); ++i) {
        voiceEnabled[i] = voiceControls[i]->isEnabled();
        voiceControls[i]->setEnabled(false);
    }
    SetItemEnabled("TBPause", false);
    SetItemEnabled("NSpeakPause", false);
    StatusExecute();
    std::vector<std::string> fragments, offsets;
    speech::SplitToFragments(text, settings.bytesInFrag, fragments, offsets);
    ProgressBar1->setRange(0, std::max<int>(1, static_cast<int>(fragments.size())));
    ProcessPendingMessages();
    const audio::RecordOutcome outcome = audio::RecordAndConvert(
        *Speech->Voice, text, AudioFileName, settings, m_options.ACNumber, m_options.AllParam,
        ProgramDir, hooks, [this](bool on) { ShowConverting(on); });

    ActiveEditor->SetSelLength(0);
    ProgressBar1->setValue(0);
    AudioFileName.clear();
    m_reader->IsRecording = false;
    for (size_t i = 0; i < voiceControls.size(); ++i)
        voiceControls[i]->setEnabled(voiceEnabled[i]);
    UnForbidUserFeatures();
    StatusExecute();
    ReportConversion(outcome);
    if (BatchActive) {
        if (BatchIndex < BatchCount - 1)
            return !filterFailed;
        BatchActive = false;
    }
    PlayCompleteSound();
    return !filterFailed;
}

// The older generation records through the ordinary reading loop: the engine is rebuilt on a
// file destination, speaks every fragment into it at the chosen multiple of real time, and its
// sink ends the recording (FinishSapi4Recording) when the audio stops.
bool TForm1::RecordSapi4() {
    m_reader->AudioFileName = AudioFileName.string();
    ComboBox1Change(); // a recording runs: the engine is built on a file destination
    trSpeedChange();
    trPitchChange();
    const bool started = Speech->AudioFileDest &&
                         Speech->AudioFileDest->RealTimeSet(static_cast<uint16_t>(
                             audio::RealTimeFactorOfIndex(m_options.XNumber))) == speech::S_OK;
    StatusExecute();
    // The sink may end a short recording before the reading command returns.
    BatchItemDone = false;
    const bool inBatch = BatchActive;
    BatchActive = true;
    if (started)
        ASpeakExecute();
    const bool ended = BatchItemDone || !BatchActive;
    if (!started || (!m_reader->IsReading && !ended)) {
        // The reading never started, so no sink will end the recording: end it now.
        BatchActive = inBatch;
        AudioFileName.clear();
        m_reader->IsRecording = false;
        m_reader->AudioFileName.clear();
        ComboBox1Change();
        StatusExecute();
        return EngineUsable();
    }
    ProgressBar1->setRange(0, std::max<int>(1, static_cast<int>(m_reader->Fragments.size())));
    while (!BatchItemDone && BatchActive) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ProcessPendingMessages();
    }
    BatchActive = inBatch && BatchItemDone;
    // The sink ended the recording with the last fragment: the reading loop has nothing left,
    // even if its timer has not ticked since.
    TimerNextFragment->stop();
    ClearReadingState();
    ProgressBar1->setValue(0);
    AudioFileName.clear();
    m_reader->IsRecording = false;
    m_reader->AudioFileName.clear();
    ComboBox1Change(); // back to the speakers
    trSpeedChange();
    trPitchChange();
    UnForbidUserFeatures(); // the voice controls stay locked while a recording runs
    StatusExecute();
    return true;
}

void TForm1::FinishSapi4Recording() {
    audio::RecordResult record;
    speech::AudioFile* file = Speech->AudioFileDest.get();
    record.written = file && file->Flush() == speech::S_OK;
    if (record.written) {
        record.seconds = file->Seconds();
        record.spoken = file->TakeSpoken();
    } else {
        record.error = base::Cp("Не удалось записать аудиофайл ") + CpPath(AudioFileName);
    }
    const audio::RecordOutcome outcome = audio::ConvertRecording(
        record, AudioFileName, nullptr, m_options.ACNumber, m_options.AllParam, ProgramDir,
        ProcessPendingMessages, [this](bool on) { ShowConverting(on); }, m_options.Subtitles,
        RecordingTags(*this));
    ReportConversion(outcome);
    if (BatchActive && BatchIndex < BatchCount - 1)
        BatchItemDone = true;
    else
        BatchActive = false;
}

void TForm1::BatchMP3(const std::vector<std::string>& files) {
    ACreateExecute();
    if (ActiveEditor->Modified() || !CurrentFileName.empty())
        return; // the user kept the page's text
    BatchActive = true;
    BatchCount = static_cast<int>(files.size());
    EnsureSpeech();
    m_reader->StopRequested = false;
    const int page = ActivePageIndex() + 1;
    for (size_t i = 0; i < files.size(); ++i) {
        BatchIndex = static_cast<int>(i);
        CurrentFileName = files[i];
        XOpen(files[i]);
        ActiveEditor->SetModified(false);
        PageModified[static_cast<size_t>(page)] = false;
        const bool usable = MP3();
        const bool stop = m_reader->StopRequested || !usable;
        m_reader->StopRequested = false;
        PageFileName[static_cast<size_t>(page)] = CurrentFileName;
        APTitle(page - 1);
        if (stop)
            break;
        ProcessPendingMessages();
    }
    BatchActive = false;
    PicShow();
}

void TForm1::ABatchMP3Execute() {
    FileDialogOptions o;
    o.title = U("Открыть пакет. Выбор файлов: Shift+ArrowDn и/или Ctrl+LeftMouseClick");
    const QStringList entries = OpenFilterEntries();
    o.filter = entries.join(";;");
    o.selectedFilter = entries[6];
    const QStringList chosen = m_prompter.OpenFiles(o);
    if (!chosen.isEmpty()) {
        std::vector<std::string> files;
        for (const QString& file : chosen)
            files.push_back(CpPath(fs::path(file.toStdString())));
        BatchMP3(files);
    }
    if (!CurrentFileName.empty())
        SetItemEnabled("NPrefsSeries", true);
}

void TForm1::ASeriesExecute() {
    if (ActiveEditor->IsEmpty())
        return;
    const audio::SeriesResult series = CutIntoSeries(*this, "");
    if (!series.error.empty())
        return;
    const QString name = base::ToQString(documents::FileTitle(CurrentFileName));
    const QString caption = U("Сериал для ") + name;
    if (series.parts.size() < 2)
        m_prompter.Inform(U("Не удалось разбить на части текст \"") + name +
                              U("\". Проверьте настройки в меню \"Сервис - Сериалы\" и "
                                "повторите попытку"),
                          caption, Icon::Warning);
    else
        m_prompter.Inform(U("Для текста \"") + name +
                              U("\" cоздан и помещен в одноименный подкаталог сериал из ") +
                              QString::number(series.parts.size()) + U(" частей"),
                          caption, Icon::None);
}

} // namespace vocalix::shell
