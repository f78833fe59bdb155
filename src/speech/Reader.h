#pragma once

#include "speech/Engines.h"

#include "base/Options.h"
#include "textprep/PronunciationFilter.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>
#include <vector>

// Reading aloud: fragments, the loop from one fragment to the next, pause, stop and the
// following of the text in the editor.
namespace vocalix::speech {

// What the reading loop needs from the window (or from the command-line tool).
class ReaderHost {
public:
    virtual ~ReaderHost() = default;
    // Tracking: the selection, which starts where the reading started, gets this length; the
    // caret is scrolled into view (and the editor focused when asked and the window shows).
    virtual void SetSelectionLength(long long length, bool focusEditor) = 0;
    virtual void SetStatusPanel2(const std::string& cp1251) = 0;
    // "Vocalix - " + word + ": " + file name of the current file.
    virtual void SetTitleActivity(const std::string& cp1251Word) = 0;
    // A modal message, caption "Vocalix"; error icon when `error`, else information.
    virtual void ShowMessage(const std::string& cp1251, bool error) = 0;
    virtual void UnForbidUserFeatures() = 0;
    // A fragment is handed to the engine (the command-line tool prints it).
    virtual void FragmentStarting(int index, const std::string& spoken) {
        (void)index;
        (void)spoken;
    }
    // Recording hooks of the SAPI 4 loop: finish the file; whether a batch runs.
    virtual void FinishSapi4Recording() {}
    virtual bool BatchInProgress() const { return false; }
    virtual void PlayCompleteSound() {}
};

class Reader : public QObject {
    Q_OBJECT
public:
    Reader(Engines& engines, const base::Options& options, ReaderHost& host,
           QObject* parent = nullptr);
    ~Reader() override;

    // Reading state.
    bool IsReading = false;
    bool IsPaused = false;
    bool NoTracking = false;
    bool IsRecording = false;
    bool FragmentDone = false;
    bool StopRequested = false;
    std::vector<std::string> Fragments;
    std::vector<std::string> FragmentOffsets;
    int CurrentFragment = 0;
    std::string SpokenText;
    double LengthRatio = 1.0;
    std::string SourceFragment; // the fragment as the page holds it, before the filters
    std::string AudioFileName;  // SAPI 4 recording target (UTF-8 path)

    // The correction rules and the pronunciation filter, applied in this order to each
    // fragment when dictionaries are active; unset means no such step yet. The filter fills
    // the map (when given one) with where each piece of its result came from.
    std::function<void(std::string&)> RexFilter;
    std::function<void(std::string&, textprep::FilterMap*)> Filter;

    bool DictionariesActive() const { return !m_options.Dictionary.empty(); }

    // Routines.
    void SpeakText(const std::string& text);
    void SpeakNextFragment();
    void PauseSpeech();
    void ResumeSpeech();
    void StopSpeech();
    // One tick of TimerNextFragment; true when the timer is to run again (otherwise the
    // caller unlocks the commands).
    bool TimerNextFragmentTimer();
    void PrepareFragment();

    // Command bodies (the window reads its widgets and calls these). Each returns whether
    // the reading loop's timer is to be started.
    bool CheckEngine(); // shows the engine-not-found message when unusable
    bool Speak(const std::string& pageTextFromCaret);            // F5
    bool SpeakSelection(const std::string& selectedOrClipboard); // F8, F9
    bool Pause();                                                // F6
    // F7: true when the reading was stopped (the window then moves the caret).
    bool Stop();

    // Engine notifications.
    void SpVoiceStartStream(int stream);
    void SpVoiceEndStream(int stream);
    void SpVoiceWord(int stream, int characterPosition, int length);
    void TextDataDone();
    void TextDataStarted();
    void WordPosition(uint32_t byteOffset);
    void AudioStart();
    void AudioStop();

    // Set by the window: whether it is visible (SAPI 4 tracking focuses the editor then).
    bool WindowVisible = false;

private:
    void SpeakCurrent(bool first);
    void OnFailure(const QString& message);
    // The selection length for a position in SpokenText: the end of a spoken word (SAPI 5)
    // or the start of one (SAPI 4).
    long long TrackedLength(long long position, bool wordEnd) const;

    // How positions in SpokenText lead back to the page: unchanged, through the filter's
    // map, or (when the correction rules rewrote the fragment) scaled by LengthRatio.
    enum class Tracking { Unchanged, Mapped, Scaled };
    Tracking m_tracking = Tracking::Unchanged;
    textprep::FilterMap m_map;

    Engines& m_engines;
    const base::Options& m_options;
    ReaderHost& m_host;
};

// The SAPI 4 notification sinks: they hand every slot to the reading loop, while it lives (an
// engine may outlive the loop that registered them).
class TTSNotifySink : public ITTSNotifySink {
public:
    explicit TTSNotifySink(Reader* reader) : m_reader(reader) {}
    HRESULT AttribChanged(uint32_t) override { return S_OK; }
    HRESULT AudioStart(uint64_t) override;
    HRESULT AudioStop(uint64_t) override;
    HRESULT Visual(uint64_t, char, char, uint32_t, const void*) override { return S_OK; }

private:
    QPointer<Reader> m_reader;
};

class TTSBufNotifySink : public ITTSBufNotifySink {
public:
    explicit TTSBufNotifySink(Reader* reader) : m_reader(reader) {}
    HRESULT TextDataDone(uint64_t, uint32_t) override;
    HRESULT TextDataStarted(uint64_t) override;
    HRESULT BookMark(uint64_t, uint32_t) override { return S_OK; }
    HRESULT WordPosition(uint64_t, uint32_t byteOffset) override;
    bool Done() const { return m_done; }

private:
    QPointer<Reader> m_reader;
    bool m_done = false;
};

} // namespace vocalix::speech
