// Speech engines, voices and reading aloud.

// Before any Qt header: it declares a member named like a Qt keyword macro.
#include "textprep/CorrectionRules.h"

#include "documents/DocumentFiles.h"
#include "shell/TForm1.h"

#include "base/Settings.h"

#include "base/Cp1251.h"
#include "base/QtText.h"
#include "shell/WindowText.h"
#include "speech/AudioLists.h"
#include "speech/Reader.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTimer>
#include <QToolBar>

namespace vocalix::shell {

// The speech toolbar and the window services, as the voice logic and the reading loop see
// them.
class SpeechBridge : public speech::SpeechToolbar, public speech::ReaderHost {
public:
    explicit SpeechBridge(TForm1& form) : f(form) {}

    // ---- toolbar ----
    void ClearVoices() override { f.ComboBox1->clear(); }
    void AddVoice(const std::string& name) override { f.ComboBox1->addItem(base::ToQString(name)); }
    int VoiceCount() const override { return f.ComboBox1->count(); }
    int VoiceIndex() const override { return f.ComboBox1->currentIndex(); }
    void SetVoiceIndex(int index) override { f.ComboBox1->setCurrentIndex(index); }
    std::string VoiceName(int index) const override {
        return base::FromQString(f.ComboBox1->itemText(index));
    }
    void FormHeadSAPI4() override {
        SetVisible(f.Label2, true);
        SetVisible(f.Edit2, true);
        SetVisible(f.trPitch, true);
        f.cbX->setFixedWidth(70);
        FillX(speech::GetSpeedList(), f.m_options.XNumber < 0 ? 7 : f.m_options.XNumber);
    }
    void FormHeadSAPI5() override {
        SetVisible(f.Label2, false);
        SetVisible(f.Edit2, false);
        SetVisible(f.trPitch, false);
        f.cbX->setFixedWidth(184);
        SetPosition(f.trSpeed, f.Edit1, 0);
        FillX(speech::GetAudioFormatList(), f.m_options.XNumber < 0 ? 18 : f.m_options.XNumber);
    }
    void SetSpeedRange(int minimum, int maximum) override { SetRange(f.trSpeed, minimum, maximum); }
    void SetSpeedPosition(int position) override {
        SetPosition(f.trSpeed, f.Edit1, position);
        f.trSpeedChange();
    }
    void SetSpeedEnabled(bool enabled) override { f.trSpeed->setEnabled(enabled); }
    void SetSpeedHint(const std::string& hint) override {
        f.trSpeed->setToolTip(base::ToQString(hint));
    }
    void SetPitchRange(int minimum, int maximum) override { SetRange(f.trPitch, minimum, maximum); }
    void SetPitchPosition(int position) override {
        SetPosition(f.trPitch, f.Edit2, position);
        f.trPitchChange();
    }
    void SetPitchEnabled(bool enabled) override { f.trPitch->setEnabled(enabled); }
    void SetPitchHint(const std::string& hint) override {
        f.trPitch->setToolTip(base::ToQString(hint));
    }
    void ShowInformation(const std::string& text) override {
        f.prompter().Inform(base::ToQString(text), CaptionVocalix(), Icon::Information);
    }
    bool DictionariesActive() const override { return !f.m_options.Dictionary.empty(); }
    void ClearDictionaries() override { f.ClearDictionariesForNewVoice(); }
    bool IsRecording() const override { return f.IsRecording(); }
    void SetXNumber(int xNumber) override { f.m_options.XNumber = xNumber; }

    // ---- reading ----
    void SetSelectionLength(long long length, bool focusEditor) override {
        PageEditor* editor = f.ActiveEditor;
        editor->SetSelLength(static_cast<int>(
            std::min<long long>(length, editor->TextLength() - editor->SelStart())));
        editor->ScrollCaretIntoView();
        if (focusEditor && f.isVisible())
            editor->setFocus();
    }
    void SetStatusPanel2(const std::string& text) override {
        f.StatusPanel[2]->setText(base::ToQString(text));
    }
    void SetTitleActivity(const std::string& word) override {
        f.setWindowIconText(QStringLiteral("Vocalix - ") + base::ToQString(word) +
                            QStringLiteral(": ") +
                            base::ToQString(documents::FileTitle(f.CurrentFileName)));
    }
    void ShowMessage(const std::string& text, bool error) override {
        f.prompter().Inform(base::ToQString(text), CaptionVocalix(),
                            error ? Icon::Error : Icon::Information);
    }
    void UnForbidUserFeatures() override { f.UnForbidUserFeatures(); }
    void FragmentStarting(int index, const std::string&) override {
        if (f.IsRecording())
            f.ProgressBar1->setValue(index);
    }
    void FinishSapi4Recording() override { f.FinishSapi4Recording(); }
    bool BatchInProgress() const override { return f.BatchActive; }
    void PlayCompleteSound() override { f.PlayCompleteSound(); }

private:
    void SetVisible(QWidget* widget, bool visible) {
        for (QAction* a : f.ToolBar2->actions())
            if (f.ToolBar2->widgetForAction(a) == widget)
                a->setVisible(visible);
    }
    void FillX(const std::string& list, int selection) {
        f.cbX->clear();
        for (size_t at = 0; at < list.size();) {
            const size_t end = list.find("\r\n", at);
            f.cbX->addItem(QString::fromLatin1(list.substr(at, end - at)));
            at = end + 2;
        }
        f.cbX->setCurrentIndex(std::min(selection, f.cbX->count() - 1));
    }
    static void SetRange(QSpinBox* box, int minimum, int maximum) {
        const QSignalBlocker block(box);
        box->setRange(minimum, maximum);
    }
    // Positions are written into the edit box the way the up-down control does it.
    static void SetPosition(QSpinBox* box, QLineEdit* edit, int position) {
        const QSignalBlocker block(box), blockEdit(edit);
        box->setValue(position);
        edit->setText(QString::number(box->value()));
    }
    TForm1& f;
};

void TForm1::EnsureSpeech() {
    if (Speech)
        return;
    Speech = std::make_shared<speech::Engines>();
    m_speechBridge = std::make_shared<SpeechBridge>(*this);
    m_reader = std::make_shared<speech::Reader>(*Speech, m_options, *m_speechBridge);
    // The correction rules prepare each fragment when dictionaries are ticked.
    m_reader->RexFilter = [this](std::string& text) {
        try {
            textprep::RexFilter(text, {ProgramDir, m_options.Dictionary, CurrentFileName});
        } catch (const textprep::MemoryExhausted&) {
            ReportOutOfMemory();
        }
    };
    m_reader->Filter = [this](std::string& text, textprep::FilterMap* map) {
        Filter(text, false, map);
    };

    // Only digits and backspace are typed into the two boxes.
    for (QLineEdit* edit : {Edit1, Edit2})
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    connect(Edit1, &QLineEdit::textEdited, this, [this] {
        bool ok = false;
        const int v = Edit1->text().toInt(&ok);
        if (ok) {
            const QSignalBlocker block(trSpeed);
            trSpeed->setValue(v);
        }
        trSpeedChange();
    });
    connect(Edit2, &QLineEdit::textEdited, this, [this] {
        bool ok = false;
        const int v = Edit2->text().toInt(&ok);
        if (ok) {
            const QSignalBlocker block(trPitch);
            trPitch->setValue(v);
        }
        trPitchChange();
    });
    connect(trSpeed, &QSpinBox::valueChanged, this, [this](int v) {
        Edit1->setText(QString::number(v));
        trSpeedChange();
    });
    connect(trPitch, &QSpinBox::valueChanged, this, [this](int v) {
        Edit2->setText(QString::number(v));
        trPitchChange();
    });
    connect(ComboBox1, &QComboBox::activated, this, [this] { ComboBox1Change(); });
}

void TForm1::trSpeedChange() {
    if (!Speech)
        return;
    Speech->trSpeedChange(trSpeed->value());
    m_options.Speed = Speech->UserSpeed;
}

void TForm1::trPitchChange() {
    if (!Speech)
        return;
    Speech->trPitchChange(trPitch->value());
    m_options.Pitch = Speech->UserPitch;
}

void TForm1::GetSAPI() {
    // The engine generation is read from the settings file before the voice list is built.
    base::IniFile ini;
    ini.Load(base::SettingsPath(ProgramDir));
    base::ReadSettingsGroup(ini, base::SettingsGroup::Sapi, m_options);
    ini.Save(base::SettingsPath(ProgramDir));
    EnsureSpeech();
    Speech->GetSAPI(m_options.SAPI5);
    Speech->UserSpeed = m_options.Speed;
    Speech->UserPitch = m_options.Pitch;
}

void TForm1::VoicesListCreate() {
    EnsureSpeech();
    Speech->VoicesListCreate(*m_speechBridge);
    m_options.Number = Speech->VoiceIndex;
}

void TForm1::ComboBox1Change() {
    EnsureSpeech();
    Speech->ComboBox1Change(*m_speechBridge);
    m_options.Number = Speech->VoiceIndex;
}

void TForm1::ClearReadingState() {
    EnsureSpeech();
    m_reader->IsReading = m_reader->IsPaused = m_reader->FragmentDone = false;
    m_reader->Fragments.clear();
    m_reader->FragmentOffsets.clear();
    m_reader->CurrentFragment = 0;
}

void TForm1::ReleaseSpeech() {
    if (!Speech)
        return;
    if (m_reader->IsReading)
        m_reader->StopSpeech();
    Speech->ReleaseTokens();
}

bool TForm1::EngineUsable() const {
    return Speech && Speech->Usable();
}
bool TForm1::IsReading() const {
    return m_reader && m_reader->IsReading;
}
bool TForm1::IsPaused() const {
    return m_reader && m_reader->IsPaused;
}

void TForm1::ASpeakExecute() {
    EnsureSpeech();
    TimerNextFragment->stop();
    m_reader->WindowVisible = isVisible();
    const std::string text = ActiveEditor->Text();
    const int start = std::min<int>(ActiveEditor->SelStart(), static_cast<int>(text.size()));
    ActiveEditor->SetSelection(start, 0);
    if (!m_reader->Speak(text.substr(static_cast<size_t>(start))))
        return;
    TimerNextFragment->start();
    ForbidUserFeatures();
    StatusExecute();
}

void TForm1::APauseExecute() {
    EnsureSpeech();
    if (!m_reader->IsReading || m_reader->IsPaused)
        return;
    TimerNextFragment->stop();
    if (!m_reader->Pause())
        return;
    StatusExecute();
    UnForbidUserFeatures();
}

void TForm1::AStopExecute() {
    EnsureSpeech();
    const bool wasReading = m_reader->IsReading;
    if (wasReading)
        TimerNextFragment->stop();
    if (!m_reader->Stop()) {
        if (wasReading && m_reader->IsReading)
            TimerNextFragment->start(); // a recording's loop sees the request
        return;
    }
    const int end = ActiveEditor->SelStart() + ActiveEditor->SelLength();
    PageCharPos[static_cast<size_t>(ActivePageIndex() + 1)] = end;
    ActiveEditor->SetSelection(end, 0);
    UnForbidUserFeatures();
    StatusExecute();
}

void TForm1::ASelSpeakExecute() {
    EnsureSpeech();
    if (!m_reader->SpeakSelection(ActiveEditor->SelText()))
        return;
    TimerNextFragment->start();
    StatusExecute();
    ForbidUserFeatures();
}

void TForm1::ACBSpeakExecute() {
    EnsureSpeech();
    const std::string text = base::ToCrLf(base::FromQString(QGuiApplication::clipboard()->text()));
    if (!m_reader->SpeakSelection(text))
        return;
    TimerNextFragment->start();
    StatusExecute();
    ForbidUserFeatures();
}

void TForm1::ASAPIExecute() {
    EnsureSpeech();
    if (m_reader->IsPaused)
        m_reader->ResumeSpeech();
    m_reader->StopSpeech();
    Speech->SwitchGeneration(*m_speechBridge);
    m_options.SAPI5 = Speech->UseSAPI5;
    m_options.Number = Speech->VoiceIndex;
    StatusExecute();
}

void TForm1::TimerNextFragmentTimer() {
    TimerNextFragment->stop();
    if (m_reader && m_reader->TimerNextFragmentTimer()) {
        TimerNextFragment->start();
        return;
    }
    UnForbidUserFeatures();
    StatusExecute();
}

} // namespace vocalix::shell
