#pragma once

#include "speech/AudioPlayer.h"
#include "speech/Sapi5.h"
#include "speech/SpeechEngine.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>

// The SAPI 4 generation: enumerator, engine, attributes, audio destinations and the two
// notification sink interfaces, with the operations the program calls, over our engine.
namespace vocalix::speech {

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

// Interface identifiers passed with registrations and texts.
inline constexpr const char* IID_ITTSNotifySinkA = "{05EB6C6F-DBAB-11CD-B3CA-00AA0047BA4F}";
inline constexpr const char* IID_ITTSBufNotifySink = "{E4963D40-C743-11CD-80E5-00AA003E4B50}";

constexpr uint32_t TTSFEATURE_SPEED = 4;
constexpr uint32_t TTSFEATURE_PITCH = 8;
constexpr uint32_t TTSI_ITTSATTRIBUTES = 2;
constexpr uint32_t TTSI_ITTSDIALOGS = 8;
constexpr uint32_t TTSDATAFLAG_TAGGED = 1;
constexpr int CHARSET_TEXT = 0;

struct TTSMODEINFO {
    std::string gModeID;    // the mode identifier
    std::string szModeName; // up to 262 characters, Windows-1251
    uint32_t dwFeatures = 0;
    uint32_t dwInterfaces = 0;
};

struct SDATA {
    const void* pData = nullptr;
    uint32_t dwSize = 0;
};

class ITTSNotifySink {
public:
    virtual ~ITTSNotifySink() = default;
    virtual HRESULT AttribChanged(uint32_t attribute) = 0;
    virtual HRESULT AudioStart(uint64_t timeStamp) = 0;
    virtual HRESULT AudioStop(uint64_t timeStamp) = 0;
    virtual HRESULT Visual(uint64_t timeStamp, char phoneme, char englishPhoneme, uint32_t hints,
                           const void* mouth) = 0;
};

class ITTSBufNotifySink {
public:
    virtual ~ITTSBufNotifySink() = default;
    virtual HRESULT TextDataDone(uint64_t timeStamp, uint32_t flags) = 0;
    virtual HRESULT TextDataStarted(uint64_t timeStamp) = 0;
    virtual HRESULT BookMark(uint64_t timeStamp, uint32_t mark) = 0;
    virtual HRESULT WordPosition(uint64_t timeStamp, uint32_t byteOffset) = 0;
};

// Where an engine's audio goes.
class AudioDestination {
public:
    virtual ~AudioDestination() = default;
};

// The sound card (the default output of the audio server).
class AudioMultiMediaDevice : public AudioDestination {
public:
    HRESULT DeviceNumSet(uint32_t device); // 0xFFFFFFFF: the default output device
    uint32_t DeviceNum() const { return m_device; }

private:
    uint32_t m_device = 0xFFFFFFFF;
};

// A WAV file (the engine's own format), written at a chosen multiple of real time.
class AudioFile : public AudioDestination {
public:
    HRESULT Set(const std::string& path, uint32_t flags);
    HRESULT RealTimeSet(uint16_t factor); // 256 = real time; 65535 = as fast as possible
    HRESULT Flush();                      // completes the file
    uint16_t RealTime() const { return m_realTime; }
    const std::string& Path() const { return m_path; }
    bool IsOpen() const { return m_stream.IsOpen(); }
    void Write(const std::vector<int16_t>& samples, int rate);
    // The text whose samples the following writes carry (for subtitles).
    void NoteSpoken(const std::string& text, const std::vector<WordMark>& words, int rate);
    // What the file holds: its length and its texts; kept after Flush until the next Set.
    double Seconds() const { return m_stream.Seconds(); }
    std::vector<SpokenFragment> TakeSpoken();

private:
    std::vector<SpokenFragment> m_spoken; // of the flushed file
    std::string m_path;
    uint16_t m_realTime = 256;
    SpFileStream m_stream;
};

class TTSCentral;

class TTSAttributes {
public:
    explicit TTSAttributes(TTSCentral& central) : m_central(central) {}
    HRESULT SpeedGet(uint32_t* speed);
    HRESULT SpeedSet(uint32_t speed); // clamped to the mode's range
    HRESULT PitchGet(uint16_t* pitch);
    HRESULT PitchSet(uint16_t pitch);

private:
    TTSCentral& m_central;
};

// Obtained and kept; the program shows no engine dialogs.
class TTSDialogs {};

class TTSCentral : public QObject {
    Q_OBJECT
public:
    TTSCentral(std::shared_ptr<SpeechEngine> engine, const VoiceInfo& voice,
               std::shared_ptr<AudioDestination> destination);
    ~TTSCentral() override;

    HRESULT Register(std::shared_ptr<ITTSNotifySink> sink, const std::string& iid, uint32_t* key);
    HRESULT UnRegister(uint32_t key);
    // Queues a text (Windows-1251, its size counting the terminating zero).
    HRESULT TextData(int charSet, uint32_t flags, SDATA text,
                     std::shared_ptr<ITTSBufNotifySink> sink, const std::string& iid);
    HRESULT AudioPause();
    HRESULT AudioResume();
    HRESULT AudioReset();

    std::shared_ptr<TTSAttributes> Attributes() const { return m_attributes; }
    std::shared_ptr<TTSDialogs> Dialogs() const { return m_dialogs; }

    // The last failure of asynchronous output (no audio device); empty when none.
    QString LastError() const { return m_lastError; }

signals:
    void Failed(const QString& message);

private:
    friend class TTSAttributes;
    struct Pending {
        std::string text;
        std::shared_ptr<ITTSBufNotifySink> sink;
    };
    void StartNext();
    void Finish();
    void FileTick();
    template <class F> void ForEachNotify(F f);

    std::shared_ptr<SpeechEngine> m_engine;
    VoiceInfo m_voice;
    std::shared_ptr<AudioDestination> m_destination;
    AudioFile* m_file = nullptr; // when the destination is a file
    AudioPlayer m_player;
    std::shared_ptr<TTSAttributes> m_attributes;
    std::shared_ptr<TTSDialogs> m_dialogs;
    std::map<uint32_t, std::shared_ptr<ITTSNotifySink>> m_notify;
    uint32_t m_nextKey = 1;
    std::deque<Pending> m_queue;
    std::shared_ptr<ITTSBufNotifySink> m_current;
    bool m_active = false;
    bool m_paused = false;
    uint32_t m_speed;
    uint16_t m_pitch;
    QString m_lastError;
    // File output: the whole text's audio, written at the real-time factor.
    std::vector<int16_t> m_fileSamples;
    std::vector<WordMark> m_fileWords;
    size_t m_fileWritten = 0;
    size_t m_fileWord = 0;
    QTimer m_fileTimer;
};

// The engine enumerator: one mode per voice, Russian voices first.
class TTSEnum {
public:
    explicit TTSEnum(std::shared_ptr<SpeechEngine> engine);
    HRESULT Reset();
    HRESULT Skip(uint32_t count);
    HRESULT Next(uint32_t count, TTSMODEINFO* modes, uint32_t* fetched);
    HRESULT Select(const std::string& modeId, std::shared_ptr<TTSCentral>* central,
                   std::shared_ptr<AudioDestination> destination);

private:
    std::shared_ptr<SpeechEngine> m_engine;
    std::vector<VoiceInfo> m_voices;
    size_t m_position = 0;
};

// Creates the enumerator; empty when the engine could not be started.
std::shared_ptr<TTSEnum> CreateTTSEnum(std::shared_ptr<SpeechEngine> engine = DefaultEngine());

} // namespace vocalix::speech
