#include "speech/Reader.h"

#include "base/Cp1251.h"
#include "base/QtText.h"
#include "speech/Fragments.h"
#include "textprep/StringRoutines.h"

#include <algorithm>
#include <cctype>

namespace vocalix::speech {
namespace {

constexpr size_t kMaxSelectionSpeak = 65535;

} // namespace

Reader::Reader(Engines& engines, const base::Options& options, ReaderHost& host, QObject* parent)
    : QObject(parent), m_engines(engines), m_options(options), m_host(host) {
    SpVoice* voice = m_engines.Voice.get();
    connect(voice, &SpVoice::StartStream, this, &Reader::SpVoiceStartStream);
    connect(voice, &SpVoice::EndStream, this, &Reader::SpVoiceEndStream);
    connect(voice, &SpVoice::Word, this, &Reader::SpVoiceWord);
    connect(voice, &SpVoice::Failed, this, &Reader::OnFailure);
    m_engines.MakeEngineSink = [this] { return std::make_shared<TTSNotifySink>(this); };
    m_engines.MakeBufferSink = [this] { return std::make_shared<TTSBufNotifySink>(this); };
}

Reader::~Reader() {
    m_engines.MakeEngineSink = nullptr;
    m_engines.MakeBufferSink = nullptr;
    // The sinks were made for this loop: take them off the engine before it goes.
    if (m_engines.Engine) {
        if (m_engines.EngineSink)
            m_engines.Engine->UnRegister(m_engines.RegistrationKey);
        m_engines.Engine->AudioReset();
    }
    m_engines.EngineSink.reset();
    m_engines.BufferSink.reset();
}

void Reader::PrepareFragment() {
    m_tracking = Tracking::Unchanged;
    m_map.clear();
    if (!DictionariesActive())
        return;
    const std::string fragment = SpokenText;
    SourceFragment = fragment;
    if (RexFilter)
        RexFilter(SpokenText);
    // The filter rewrites word by word, so its map leads every spoken word back to its source
    // word; the rules rewrite freely, and after them only the length ratio is left.
    const bool rulesChanged = SpokenText != fragment;
    if (Filter)
        Filter(SpokenText, rulesChanged ? nullptr : &m_map);
    if (!SpokenText.empty())
        LengthRatio = static_cast<double>(fragment.size()) / static_cast<double>(SpokenText.size());
    if (!m_map.empty())
        m_tracking = Tracking::Mapped;
    else if (SpokenText != fragment)
        m_tracking = Tracking::Scaled;
}

void Reader::SpeakCurrent(bool first) {
    m_host.FragmentStarting(CurrentFragment, SpokenText);
    if (m_engines.UseSAPI5) {
        m_engines.Voice->Speak(SpokenText, m_options.IsXML ? 11 : 19);
        return;
    }
    TTSCentral* engine = m_engines.Engine.get();
    if (!engine)
        throw SpeechError("no engine");
    connect(engine, &TTSCentral::Failed, this, &Reader::OnFailure, Qt::UniqueConnection);
    if (first && IsRecording && !IsPaused && CurrentFragment == 0 && m_engines.AudioFileDest)
        m_engines.AudioFileDest->Set(AudioFileName, 0);
    const SDATA data{SpokenText.c_str(), static_cast<uint32_t>(SpokenText.size() + 1)};
    if (engine->TextData(CHARSET_TEXT, TTSDATAFLAG_TAGGED, data, m_engines.BufferSink,
                         IID_ITTSBufNotifySink) != S_OK)
        throw SpeechError(engine->LastError().toStdString());
}

void Reader::SpeakText(const std::string& text) {
    if (IsBlankText(text))
        return;
    FragmentDone = false;
    if (IsReading) {
        StopSpeech();
        IsReading = false;
        Fragments.clear();
        FragmentOffsets.clear();
        CurrentFragment = 0;
    }
    SplitToFragments(text, m_options.BytesInFrag, Fragments, FragmentOffsets);
    CurrentFragment = 0;
    SpokenText = Fragments.empty() ? std::string() : Fragments[0];
    PrepareFragment();
    try {
        SpeakCurrent(true);
        IsReading = true;
    } catch (const SpeechError& e) {
        IsReading = false;
        std::string message = base::Cp("Ошибка голосового движка");
        if (*e.what())
            message += "\r\n" + base::Utf8ToCp1251(e.what());
        m_host.ShowMessage(message, true);
    }
}

void Reader::SpeakNextFragment() {
    FragmentDone = false;
    if (CurrentFragment < static_cast<int>(Fragments.size()) - 1 && IsReading) {
        ++CurrentFragment;
        SpokenText = Fragments[static_cast<size_t>(CurrentFragment)];
        PrepareFragment();
        try {
            SpeakCurrent(false);
        } catch (const SpeechError& e) {
            // The run stays active and silent until stopped.
            std::string message = base::Cp("Ошибка голосового движка");
            if (*e.what())
                message += "\r\n" + base::Utf8ToCp1251(e.what());
            m_host.ShowMessage(message, true);
        }
        return;
    }
    CurrentFragment = 0;
    IsReading = false;
}

void Reader::PauseSpeech() {
    if (m_engines.UseSAPI5)
        m_engines.Voice->Pause();
    else if (m_engines.Engine)
        m_engines.Engine->AudioPause();
    IsPaused = true;
}

void Reader::ResumeSpeech() {
    if (m_engines.UseSAPI5)
        m_engines.Voice->Resume();
    else if (m_engines.Engine)
        m_engines.Engine->AudioResume();
    IsPaused = false;
}

void Reader::StopSpeech() {
    if (!IsReading)
        return;
    IsReading = false;
    if (m_engines.UseSAPI5) {
        try {
            m_engines.Voice->Speak(std::string(), SVSFPurgeBeforeSpeak);
        } catch (const SpeechError&) {
        }
    } else if (m_engines.Engine) {
        m_engines.Engine->AudioReset();
    }
    FragmentDone = false;
}

bool Reader::TimerNextFragmentTimer() {
    if (IsReading && FragmentDone)
        SpeakNextFragment();
    return IsReading;
}

bool Reader::CheckEngine() {
    if (m_engines.Usable())
        return true;
    m_host.ShowMessage(base::Cp("Голосовой движок не найден или не поддерживается"), false);
    return false;
}

bool Reader::Speak(const std::string& pageTextFromCaret) {
    NoTracking = false;
    if (!CheckEngine())
        return false;
    if (IsPaused)
        ResumeSpeech();
    else
        SpeakText(pageTextFromCaret);
    return true;
}

bool Reader::SpeakSelection(const std::string& text) {
    if (!m_engines.Usable() || IsRecording)
        return false;
    if (IsPaused) {
        ResumeSpeech();
        return true;
    }
    if (text.size() > kMaxSelectionSpeak)
        return false;
    SpeakText(text);
    NoTracking = true;
    return true;
}

bool Reader::Pause() {
    if (!IsReading || IsPaused)
        return false;
    if (!CheckEngine())
        return false;
    PauseSpeech();
    return true;
}

bool Reader::Stop() {
    StopRequested = true;
    if (!IsReading)
        return false;
    if (IsRecording && m_engines.UseSAPI5)
        return false;
    if (!CheckEngine())
        return false;
    if (IsPaused)
        ResumeSpeech();
    StopSpeech();
    return true;
}

long long Reader::TrackedLength(long long position, bool wordEnd) const {
    const long long o = CurrentFragment < static_cast<int>(FragmentOffsets.size())
                            ? std::stoll(FragmentOffsets[static_cast<size_t>(CurrentFragment)]) - 1
                            : 0;
    if (!DictionariesActive() || m_tracking == Tracking::Unchanged)
        return o + position;
    const auto at = static_cast<size_t>(std::max(0LL, position));
    if (m_tracking == Tracking::Mapped) {
        const size_t source = wordEnd ? textprep::SourceWordEnd(m_map, SourceFragment, at)
                                      : textprep::SourceWordStart(m_map, SourceFragment, at);
        return o + static_cast<long long>(source);
    }
    // The scaled position may fall inside a word, and a selection must never end there. It
    // ends at that word's end.
    auto end = static_cast<size_t>(
        std::max(0LL, RoundHalfEven(static_cast<double>(position) * LengthRatio)));
    const auto inWord = [this](size_t i) {
        const char c = SourceFragment[i];
        return textprep::IsCyrillicLetter(c) || std::isalnum(static_cast<unsigned char>(c));
    };
    while (end > 0 && end < SourceFragment.size() && inWord(end - 1) && inWord(end))
        ++end;
    return o + static_cast<long long>(end);
}

void Reader::SpVoiceStartStream(int) {}

void Reader::SpVoiceEndStream(int) {
    if (!IsPaused && CurrentFragment == static_cast<int>(Fragments.size()) - 1)
        m_host.SetStatusPanel2(std::string());
    FragmentDone = true;
}

void Reader::SpVoiceWord(int, int characterPosition, int length) {
    if (!IsReading || NoTracking)
        return;
    m_host.SetSelectionLength(TrackedLength(characterPosition + length, true), false);
}

void Reader::TextDataDone() {
    FragmentDone = true;
}

void Reader::TextDataStarted() {}

void Reader::WordPosition(uint32_t byteOffset) {
    if (NoTracking)
        return;
    m_host.SetSelectionLength(TrackedLength(byteOffset, false), WindowVisible);
}

void Reader::AudioStart() {
    const std::string word = IsRecording ? base::Cp("Аудио") : base::Cp("Чтение");
    m_host.SetStatusPanel2(word);
    m_host.SetTitleActivity(word);
}

void Reader::AudioStop() {
    const bool last = CurrentFragment == static_cast<int>(Fragments.size()) - 1;
    if (!IsPaused && last)
        m_host.SetStatusPanel2(std::string());
    if (last)
        m_host.UnForbidUserFeatures();
    if (IsRecording && !IsPaused && (!IsReading || last))
        m_host.FinishSapi4Recording();
    if (!m_host.BatchInProgress() && (!IsReading || last)) {
        if (IsRecording)
            m_host.PlayCompleteSound();
        IsRecording = false;
        AudioFileName.clear();
    }
}

void Reader::OnFailure(const QString& message) {
    // The audio output failed after the text was accepted: end the run rather than wait for
    // a completion that will never come.
    const bool wasReading = IsReading;
    IsReading = false;
    IsPaused = false;
    FragmentDone = false;
    m_host.SetStatusPanel2(std::string());
    m_host.ShowMessage(base::Cp("Ошибка голосового движка") + "\r\n" + base::FromQString(message),
                       true);
    if (wasReading)
        m_host.UnForbidUserFeatures();
}

HRESULT TTSNotifySink::AudioStart(uint64_t) {
    if (m_reader)
        m_reader->AudioStart();
    return S_OK;
}

HRESULT TTSNotifySink::AudioStop(uint64_t) {
    if (m_reader)
        m_reader->AudioStop();
    return S_OK;
}

HRESULT TTSBufNotifySink::TextDataDone(uint64_t, uint32_t) {
    m_done = true;
    if (m_reader)
        m_reader->TextDataDone();
    return S_OK;
}

HRESULT TTSBufNotifySink::TextDataStarted(uint64_t) {
    m_done = false;
    if (m_reader)
        m_reader->TextDataStarted();
    return S_OK;
}

HRESULT TTSBufNotifySink::WordPosition(uint64_t, uint32_t byteOffset) {
    if (m_reader)
        m_reader->WordPosition(byteOffset);
    return S_OK;
}

} // namespace vocalix::speech
