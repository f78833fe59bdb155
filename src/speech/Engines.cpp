#include "speech/Engines.h"

#include "base/Cp1251.h"

#include <algorithm>

namespace vocalix::speech {

int Position16(long long value) {
    return static_cast<int16_t>(static_cast<uint16_t>(value));
}

Engines::Engines(std::shared_ptr<SpeechEngine> engine) : m_engine(std::move(engine)) {
    Voice = std::make_unique<SpVoice>(m_engine);
}

Engines::~Engines() {
    // The SAPI 4 engine first (its sinks off it before it stops), then the SAPI 5 voice.
    if (Engine && EngineSink)
        Engine->UnRegister(RegistrationKey);
    EngineSink.reset();
    BufferSink.reset();
    Engine.reset();
    VoiceTokens.clear();
    Voice.reset();
}

bool Engines::Usable() const {
    return UseSAPI5 ? SAPI5Ready : Engine != nullptr;
}

void Engines::VoicesListCreate(SpeechToolbar& ui) {
    ui.ClearVoices();
    VoiceTokens.clear();
    if (UseSAPI5) {
        SAPI5Ready = true;
        try {
            VoiceTokens = Voice->GetVoices();
        } catch (const SpeechError&) {
            ui.ShowInformation(base::Cp("Не найден речевой драйвер Microsoft SAPI5"));
            SAPI5Ready = false;
            return;
        }
        Voice->SetEventInterests(33790);
        for (const auto& token : VoiceTokens)
            ui.AddVoice(token->GetDescription(0));
        if (ui.VoiceCount() > 0) {
            ui.SetVoiceIndex(0);
            ComboBox1Change(ui);
        }
        ui.SetSpeedPosition(Voice->Rate());
        return;
    }
    AudioDevice = std::make_shared<AudioMultiMediaDevice>();
    AudioDevice->DeviceNumSet(0xFFFFFFFF);
    Enumerator = CreateTTSEnum(m_engine);
    if (!Enumerator) {
        ui.ShowInformation(base::Cp("Не найден речевой драйвер Microsoft SAPI4"));
        return;
    }
    Enumerator->Reset();
    TTSMODEINFO mode;
    uint32_t fetched = 0;
    while (Enumerator->Next(1, &mode, &fetched) == S_OK && fetched == 1)
        ui.AddVoice(mode.szModeName);
    ui.SetVoiceIndex(0);
    ComboBox1Change(ui);
}

void Engines::ComboBox1Change(SpeechToolbar& ui) {
    const int index = ui.VoiceIndex();
    if (UseSAPI5) {
        ui.FormHeadSAPI5();
        ui.SetSpeedRange(-10, 10);
        try {
            if (index >= 0 && static_cast<size_t>(index) < VoiceTokens.size())
                Voice->SetVoice(VoiceTokens[static_cast<size_t>(index)]);
        } catch (const SpeechError&) {
        }
        CommonTail(ui, index);
        return;
    }
    const std::string name = index >= 0 && index < ui.VoiceCount() ? ui.VoiceName(index) : "";
    // These two voices are known to hang the reading loop: no engine is kept for them.
    if (name.find("Olga 8000") != std::string::npos ||
        name.find("Ludoviko 8000") != std::string::npos) {
        ui.FormHeadSAPI4();
        Engine.reset();
        return;
    }
    SelectSAPI4(ui, index);
    CommonTail(ui, index);
}

void Engines::SelectSAPI4(SpeechToolbar& ui, int index) {
    ui.FormHeadSAPI4();
    std::shared_ptr<AudioDestination> destination;
    if (ui.IsRecording()) {
        AudioFileDest = std::make_shared<AudioFile>();
        destination = AudioFileDest;
    } else {
        AudioDevice = std::make_shared<AudioMultiMediaDevice>();
        destination = AudioDevice;
    }
    Enumerator = CreateTTSEnum(m_engine);
    if (!Enumerator)
        return;
    Enumerator->Reset();
    Enumerator->Skip(static_cast<uint32_t>(std::max(index, 0)));
    TTSMODEINFO mode;
    uint32_t fetched = 0;
    if (Enumerator->Next(1, &mode, &fetched) != S_OK || fetched != 1)
        return;
    ModeInfo = mode;
    Engine.reset();
    if (Enumerator->Select(ModeInfo.gModeID, &Engine, destination) != S_OK) {
        Engine.reset();
        return;
    }
    BufferSink = MakeBufferSink ? MakeBufferSink() : nullptr;
    EngineSink = MakeEngineSink ? MakeEngineSink() : nullptr;
    if (Engine && EngineSink &&
        Engine->Register(EngineSink, IID_ITTSNotifySinkA, &RegistrationKey) != S_OK)
        EngineSink.reset();
    if (!Engine)
        return;
    if (ModeInfo.dwInterfaces & TTSI_ITTSATTRIBUTES) {
        Attributes = Engine->Attributes();
        if (!Attributes) {
            ui.SetSpeedEnabled(false);
            ui.SetPitchEnabled(false);
        } else {
            if (ModeInfo.dwFeatures & TTSFEATURE_SPEED) {
                const HRESULT a = Attributes->SpeedGet(&EngineSpeed);
                const HRESULT b = Attributes->SpeedSet(0);
                if (a != E_NOTIMPL && b != E_NOTIMPL) {
                    ui.SetSpeedHint(std::to_string(EngineSpeed));
                    Attributes->SpeedSet(0);
                    Attributes->SpeedGet(&MinimumSpeed);
                    Attributes->SpeedSet(0xFFFFFFFF);
                    Attributes->SpeedGet(&MaximumSpeed);
                    Attributes->SpeedSet(EngineSpeed);
                    ui.SetSpeedEnabled(true);
                    ui.SetSpeedRange(Position16(MinimumSpeed), Position16(MaximumSpeed));
                }
            } else {
                ui.SetSpeedEnabled(false);
            }
            if (ModeInfo.dwFeatures & TTSFEATURE_PITCH) {
                const HRESULT a = Attributes->PitchGet(&EnginePitch);
                const HRESULT b = Attributes->PitchSet(0);
                if (a != E_NOTIMPL && b != E_NOTIMPL) {
                    ui.SetPitchHint(std::to_string(EnginePitch));
                    Attributes->PitchSet(0);
                    Attributes->PitchGet(&MinimumPitch);
                    Attributes->PitchSet(0xFFFF);
                    Attributes->PitchGet(&MaximumPitch);
                    Attributes->PitchSet(EnginePitch);
                    ui.SetPitchEnabled(true);
                    ui.SetPitchRange(Position16(MinimumPitch), Position16(MaximumPitch));
                }
            } else {
                ui.SetPitchEnabled(false);
            }
        }
    } else {
        Attributes.reset();
        ui.SetSpeedEnabled(false);
        ui.SetPitchEnabled(false);
    }
    // The stored speed of SAPI 4 is the engine's speed at selection.
    StoredSpeed = static_cast<int>(EngineSpeed);
    if (ModeInfo.dwInterfaces & TTSI_ITTSDIALOGS)
        Dialogs = Engine->Dialogs();
}

void Engines::CommonTail(SpeechToolbar& ui, int index) {
    if (index != VoiceIndex || EngineSwitched) {
        if (ui.DictionariesActive())
            ui.ClearDictionaries();
        VoiceIndex = index;
        if (UseSAPI5 && (StoredSpeed < 0 || StoredSpeed > 10))
            StoredSpeed = 0;
        ui.SetSpeedPosition(Position16(StoredSpeed));
        ui.SetPitchPosition(Position16(EnginePitch));
        EngineSwitched = false;
    } else {
        ui.SetSpeedPosition(Position16(UserSpeed != 0 ? UserSpeed : StoredSpeed));
        ui.SetPitchPosition(Position16(UserPitch != 0 ? UserPitch : EnginePitch));
    }
}

void Engines::trSpeedChange(int position) {
    if (UseSAPI5 && SAPI5Ready) {
        Voice->SetRate(position);
    } else if (!UseSAPI5 && Engine && Enumerator) {
        if (Attributes)
            Attributes->SpeedSet(static_cast<uint32_t>(position));
    } else {
        return;
    }
    UserSpeed = position;
}

void Engines::trPitchChange(int position) {
    if (UseSAPI5 || !Engine || !Enumerator)
        return;
    if (Attributes)
        Attributes->PitchSet(static_cast<uint16_t>(position));
    UserPitch = position;
}

void Engines::SwitchGeneration(SpeechToolbar& ui) {
    if (UseSAPI5)
        ReleaseTokens();
    if (ui.VoiceCount() > 0)
        ui.SetVoiceIndex(0);
    UseSAPI5 = !UseSAPI5;
    EngineSwitched = true;
    if (ui.DictionariesActive())
        ui.ClearDictionaries();
    ui.SetXNumber(UseSAPI5 ? 18 : 7);
    VoicesListCreate(ui);
    ComboBox1Change(ui);
}

} // namespace vocalix::speech
