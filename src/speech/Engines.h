#pragma once

#include "speech/Sapi4.h"
#include "speech/Sapi5.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The choice of engine generation, the voice list and the rate and pitch controls.
namespace vocalix::speech {

// The speech toolbar and the few window services the voice logic touches. The window
// implements it over its widgets; setting a position must run the change handler as the
// edit box does (trSpeedChange / trPitchChange).
class SpeechToolbar {
public:
    virtual ~SpeechToolbar() = default;
    virtual void ClearVoices() = 0;
    virtual void AddVoice(const std::string& name) = 0;
    virtual int VoiceCount() const = 0;
    virtual int VoiceIndex() const = 0; // -1 when nothing is selected
    virtual void SetVoiceIndex(int index) = 0;
    virtual std::string VoiceName(int index) const = 0;
    virtual void FormHeadSAPI4() = 0;
    virtual void FormHeadSAPI5() = 0;
    virtual void SetSpeedRange(int minimum, int maximum) = 0;
    virtual void SetSpeedPosition(int position) = 0;
    virtual void SetSpeedEnabled(bool enabled) = 0;
    virtual void SetSpeedHint(const std::string& hint) = 0;
    virtual void SetPitchRange(int minimum, int maximum) = 0;
    virtual void SetPitchPosition(int position) = 0;
    virtual void SetPitchEnabled(bool enabled) = 0;
    virtual void SetPitchHint(const std::string& hint) = 0;
    virtual void ShowInformation(const std::string& cp1251) = 0;
    // Dictionaries: whether any is ticked; untick all and run the dictionary command once.
    virtual bool DictionariesActive() const = 0;
    virtual void ClearDictionaries() = 0;
    virtual bool IsRecording() const = 0;
    // The cbX selection for a generation just switched to (Audio/XNumber: 18 or 7).
    virtual void SetXNumber(int xNumber) { (void)xNumber; }
};

// Positions are 16-bit values.
int Position16(long long value);

class Engines {
public:
    explicit Engines(std::shared_ptr<SpeechEngine> engine = DefaultEngine());
    ~Engines();

    // Program-wide state.
    bool UseSAPI5 = false;
    bool SAPI5Ready = false;
    bool EngineSwitched = false;

    // SAPI 5
    std::unique_ptr<SpVoice> Voice;
    std::vector<SpObjectTokenPtr> VoiceTokens; // the references held by the list entries
    // SAPI 4
    std::shared_ptr<AudioMultiMediaDevice> AudioDevice;
    std::shared_ptr<AudioFile> AudioFileDest;
    std::shared_ptr<TTSEnum> Enumerator;
    TTSMODEINFO ModeInfo;
    std::shared_ptr<TTSCentral> Engine;
    std::shared_ptr<ITTSNotifySink> EngineSink;
    std::shared_ptr<ITTSBufNotifySink> BufferSink;
    uint32_t RegistrationKey = 0;
    std::shared_ptr<TTSAttributes> Attributes;
    std::shared_ptr<TTSDialogs> Dialogs;
    uint32_t EngineSpeed = 0, MinimumSpeed = 0, MaximumSpeed = 0;
    uint16_t EnginePitch = 0, MinimumPitch = 0, MaximumPitch = 0;
    int StoredSpeed = 0;
    int UserSpeed = 0, UserPitch = 0;
    int VoiceIndex = 0;

    // Makes the SAPI 4 sinks for a new engine (the reading loop provides them).
    std::function<std::shared_ptr<ITTSNotifySink>()> MakeEngineSink;
    std::function<std::shared_ptr<ITTSBufNotifySink>()> MakeBufferSink;

    void GetSAPI(bool sapi5) { UseSAPI5 = sapi5; }
    void VoicesListCreate(SpeechToolbar& ui);
    void ComboBox1Change(SpeechToolbar& ui);
    void trSpeedChange(int position);
    void trPitchChange(int position);
    // The part of the generation switch that concerns engines (the reading is stopped first).
    void SwitchGeneration(SpeechToolbar& ui);
    // Reading and recording commands need this.
    bool Usable() const;
    // Releases the list's token references (shutdown, generation switch).
    void ReleaseTokens() { VoiceTokens.clear(); }

    std::shared_ptr<SpeechEngine> Backend() const { return m_engine; }

private:
    void SelectSAPI4(SpeechToolbar& ui, int index);
    void CommonTail(SpeechToolbar& ui, int index);
    std::shared_ptr<SpeechEngine> m_engine;
};

} // namespace vocalix::speech
