#pragma once

#include "cli/Cli.h"

#include "base/Options.h"
#include "speech/Engines.h"

#include <QCoreApplication>

#include <memory>
#include <string>
#include <vector>

namespace vocalix::cli {

// The voice settings without a window: the list is kept as plain names.
struct CliToolbar : speech::SpeechToolbar {
    speech::Engines* engines = nullptr;
    std::vector<std::string> voices;
    int index = -1;
    std::vector<std::string> messages;
    void ClearVoices() override { voices.clear(), index = -1; }
    void AddVoice(const std::string& name) override { voices.push_back(name); }
    int VoiceCount() const override { return static_cast<int>(voices.size()); }
    int VoiceIndex() const override { return index; }
    void SetVoiceIndex(int i) override { index = i; }
    std::string VoiceName(int i) const override { return voices.at(static_cast<size_t>(i)); }
    void FormHeadSAPI4() override {}
    void FormHeadSAPI5() override {}
    void SetSpeedRange(int, int) override {}
    void SetSpeedPosition(int p) override { engines->trSpeedChange(p); }
    void SetSpeedEnabled(bool) override {}
    void SetSpeedHint(const std::string&) override {}
    void SetPitchRange(int, int) override {}
    void SetPitchPosition(int p) override { engines->trPitchChange(p); }
    void SetPitchEnabled(bool) override {}
    void SetPitchHint(const std::string&) override {}
    void ShowInformation(const std::string& m) override { messages.push_back(m); }
    bool DictionariesActive() const override { return false; }
    void ClearDictionaries() override {}
    bool IsRecording() const override { return recording; }
    bool recording = false; // the older generation's engine is built on a file destination
};

// Builds the voice list of the chosen generation and selects the voice, rate and pitch of the
// settings, as the window does at start-up. Throws CliError when no engine can be used.
void SelectVoiceOfSettings(const base::Options& options, speech::Engines& engines,
                           CliToolbar& toolbar);

// The application object Qt needs for the commands that use it, unless one exists already.
std::unique_ptr<QCoreApplication> EnsureCoreApplication();

} // namespace vocalix::cli
