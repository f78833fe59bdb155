#pragma once

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "speech/Engines.h"
#include "speech/Reader.h"

#include <QTimer>

#include <string>
#include <vector>

namespace vocalix::speech::testing {

// The speech toolbar as plain fields; a position set runs the change handler like the edit box.
struct FakeToolbar : SpeechToolbar {
    Engines* engines = nullptr;
    std::vector<std::string> voices;
    int index = -1;
    struct Control {
        int minimum = 0, maximum = 0, position = 0;
        bool enabled = true;
        std::string hint;
    } speed, pitch;
    bool sapi5Head = false;
    int xNumber = -1;
    std::vector<std::string> messages;
    bool dictionaries = false;
    int dictionaryClears = 0;
    bool recording = false;

    void ClearVoices() override { voices.clear(), index = -1; }
    void AddVoice(const std::string& name) override { voices.push_back(name); }
    int VoiceCount() const override { return static_cast<int>(voices.size()); }
    int VoiceIndex() const override { return index; }
    void SetVoiceIndex(int i) override { index = i; }
    std::string VoiceName(int i) const override { return voices.at(static_cast<size_t>(i)); }
    void FormHeadSAPI4() override { sapi5Head = false; }
    void FormHeadSAPI5() override {
        sapi5Head = true;
        speed.position = 0;
    }
    void SetSpeedRange(int a, int b) override { speed.minimum = a, speed.maximum = b; }
    void SetSpeedPosition(int p) override {
        speed.position = std::clamp(p, speed.minimum, speed.maximum);
        if (engines)
            engines->trSpeedChange(speed.position);
    }
    void SetSpeedEnabled(bool e) override { speed.enabled = e; }
    void SetSpeedHint(const std::string& h) override { speed.hint = h; }
    void SetPitchRange(int a, int b) override { pitch.minimum = a, pitch.maximum = b; }
    void SetPitchPosition(int p) override {
        pitch.position = std::clamp(p, pitch.minimum, pitch.maximum);
        if (engines)
            engines->trPitchChange(pitch.position);
    }
    void SetPitchEnabled(bool e) override { pitch.enabled = e; }
    void SetPitchHint(const std::string& h) override { pitch.hint = h; }
    void ShowInformation(const std::string& m) override { messages.push_back(m); }
    bool DictionariesActive() const override { return dictionaries; }
    void ClearDictionaries() override {
        dictionaries = false;
        ++dictionaryClears;
    }
    bool IsRecording() const override { return recording; }
    void SetXNumber(int x) override { xNumber = x; }
};

struct FakeHost : ReaderHost {
    std::vector<long long> selections;
    std::string panel2, title;
    std::vector<std::string> messages;
    int unforbids = 0;
    std::vector<int> fragmentsStarted;

    void SetSelectionLength(long long length, bool) override { selections.push_back(length); }
    void SetStatusPanel2(const std::string& s) override { panel2 = s; }
    void SetTitleActivity(const std::string& w) override { title = w; }
    void ShowMessage(const std::string& m, bool) override { messages.push_back(m); }
    void UnForbidUserFeatures() override { ++unforbids; }
    void FragmentStarting(int index, const std::string&) override {
        fragmentsStarted.push_back(index);
    }
};

// The 100 ms fragment loop as the window runs it.
struct LoopDriver {
    Reader& reader;
    FakeHost& host;
    QTimer timer;
    explicit LoopDriver(Reader& r, FakeHost& h) : reader(r), host(h) {
        timer.setInterval(100);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            timer.stop();
            if (reader.TimerNextFragmentTimer())
                timer.start();
            else
                host.UnForbidUserFeatures();
        });
    }
};

// A few hundred characters of a real book, wrapped into lines of about 70 characters.
inline std::string BookSample(size_t characters) {
    std::string bytes;
    const std::string path =
        std::string(VOCALIX_CORPUS_DIR) + "/text/books/tolstoy_anna_karenina.cp1251.txt";
    if (!base::ReadFileBytes(path, bytes, nullptr))
        return {};
    std::string words;
    for (char c : bytes.substr(0, 20000))
        words += static_cast<unsigned char>(c) < ' ' ? ' ' : c;
    std::string text, line;
    size_t i = words.find_first_not_of(' ');
    while (i != std::string::npos && text.size() + line.size() < characters) {
        const size_t end = words.find(' ', i);
        const std::string word = words.substr(i, end == std::string::npos ? end : end - i);
        if (!line.empty() && line.size() + word.size() > 70) {
            text += line + "\r\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        i = end == std::string::npos ? end : words.find_first_not_of(' ', end);
    }
    return text + line + "\r\n";
}

} // namespace vocalix::speech::testing
