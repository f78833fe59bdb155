#include "audio/Workers.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"
#include "speech/Fragments.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDataStream>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <istream>
#include <iterator>
#include <ostream>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vocalix::audio {
namespace fs = std::filesystem;

namespace {

constexpr quint32 kRequestMark = 0x56585731; // "VXW1"

// What a worker records: its share of the fragments, already prepared, and the voice.
struct Request {
    std::string voiceId;
    int rate = 0;
    int formatIndex = 18;
    bool isXml = false;
    int acNumber = 0;
    std::string allParam;
    fs::path wav, encoded; // the part's WAV file and encoded file
    int firstIndex = 0;    // of the share's first fragment in the whole text
    std::vector<std::string> fragments;
    std::vector<std::string> before; // the fragments before the share
    AudioTags tags;                  // for the part's encoded file
};

QByteArray Bytes(const std::string& s) {
    return {s.data(), static_cast<qsizetype>(s.size())};
}

std::string Std(const QByteArray& b) {
    return {b.constData(), static_cast<size_t>(b.size())};
}

QByteArray EncodeRequest(const Request& r) {
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << kRequestMark << Bytes(r.voiceId) << qint32(r.rate) << qint32(r.formatIndex) << r.isXml
      << qint32(r.acNumber) << Bytes(r.allParam) << Bytes(r.wav.string())
      << Bytes(r.encoded.string()) << qint32(r.firstIndex) << Bytes(r.tags.title)
      << Bytes(r.tags.artist) << Bytes(r.tags.album) << qint32(r.tags.track)
      << quint32(r.before.size());
    for (const std::string& f : r.before)
        s << Bytes(f);
    s << quint32(r.fragments.size());
    for (const std::string& f : r.fragments)
        s << Bytes(f);
    return out;
}

bool DecodeRequest(const QByteArray& in, Request& r) {
    QDataStream s(in);
    quint32 mark = 0;
    qint32 rate = 0, format = 0, ac = 0, first = 0, track = 0;
    QByteArray voice, param, wav, encoded, title, artist, album;
    s >> mark >> voice >> rate >> format >> r.isXml >> ac >> param >> wav >> encoded >> first >>
        title >> artist >> album >> track;
    if (s.status() != QDataStream::Ok || mark != kRequestMark)
        return false;
    r.voiceId = Std(voice);
    r.rate = rate;
    r.formatIndex = format;
    r.acNumber = ac;
    r.allParam = Std(param);
    r.wav = Std(wav);
    r.encoded = Std(encoded);
    r.firstIndex = first;
    r.tags = {Std(title), Std(artist), Std(album), track};
    for (std::vector<std::string>* list : {&r.before, &r.fragments}) {
        quint32 count = 0;
        s >> count;
        for (quint32 i = 0; i < count && s.status() == QDataStream::Ok; ++i) {
            QByteArray f;
            s >> f;
            list->push_back(Std(f));
        }
    }
    return s.status() == QDataStream::Ok && !r.wav.empty();
}

// Worker to parent: frames of a 4-byte length and a payload whose first byte says what it is.
constexpr quint8 kFragment = 'F', kResult = 'R';

QByteArray Frame(const QByteArray& payload) {
    QByteArray frame;
    QDataStream s(&frame, QIODevice::WriteOnly);
    s << quint32(payload.size());
    frame.append(payload);
    return frame;
}

QByteArray EncodeResult(const RecordResult& r, bool encoded) {
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << kResult << r.written << r.stopped << qint32(r.fragments) << r.seconds << encoded
      << Bytes(r.error) << quint32(r.spoken.size());
    for (const speech::SpokenFragment& f : r.spoken) {
        s << f.startSeconds << qint32(f.rate) << Bytes(f.text) << quint32(f.words.size());
        for (const speech::WordMark& w : f.words)
            s << qint64(w.sample) << qint32(w.start) << qint32(w.length);
    }
    return out;
}

bool DecodeResult(QDataStream& s, RecordResult& r, bool& encoded) {
    qint32 fragments = 0;
    quint32 count = 0;
    QByteArray error;
    s >> r.written >> r.stopped >> fragments >> r.seconds >> encoded >> error >> count;
    r.fragments = fragments;
    r.error = Std(error);
    for (quint32 i = 0; i < count && s.status() == QDataStream::Ok; ++i) {
        speech::SpokenFragment f;
        qint32 rate = 0;
        quint32 words = 0;
        QByteArray text;
        s >> f.startSeconds >> rate >> text >> words;
        f.rate = rate;
        f.text = Std(text);
        for (quint32 k = 0; k < words && s.status() == QDataStream::Ok; ++k) {
            qint64 sample = 0;
            qint32 start = 0, length = 0;
            s >> sample >> start >> length;
            f.words.push_back({sample, start, length});
        }
        r.spoken.push_back(std::move(f));
    }
    return s.status() == QDataStream::Ok;
}

volatile std::sig_atomic_t g_stopAsked = 0;

extern "C" void AskToStop(int) {
    g_stopAsked = 1;
}

// One worker process as the parent sees it.
struct Worker {
    Request request;
    pid_t pid = -1;
    int output = -1; // its standard output, non-blocking
    QByteArray pending;
    int current = -1; // the fragment it speaks (index in the whole text)
    int begun = 0;
    bool reported = false;
    bool encoded = false;
    bool terminated = false; // ended by SIGTERM before it could answer it
    RecordResult result;
};

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool Spawn(Worker& w, const fs::path& program, const fs::path& programDir) {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0)
        return false;
    if (::pipe2(out, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    std::string args[] = {program.string(), "--program-dir", programDir.string(), "worker"};
    char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(), nullptr};
    const int spawned = ::posix_spawn(&w.pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    if (spawned != 0) {
        w.pid = -1;
        ::close(in[1]);
        ::close(out[0]);
        return false;
    }
    // The worker reads its whole share before it says anything, so this cannot block for long;
    // a worker that died at once must not take this process with it.
    struct sigaction ignore {
    }, saved{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &saved);
    const QByteArray request = EncodeRequest(w.request);
    WriteAll(in[1], request.constData(), static_cast<size_t>(request.size()));
    ::sigaction(SIGPIPE, &saved, nullptr);
    ::close(in[1]);
    ::fcntl(out[0], F_SETFL, ::fcntl(out[0], F_GETFL) | O_NONBLOCK);
    w.output = out[0];
    return true;
}

// Takes the complete frames out of the worker's output.
void Parse(Worker& w) {
    for (;;) {
        if (w.pending.size() < 4)
            return;
        QDataStream head(w.pending.left(4));
        quint32 size = 0;
        head >> size;
        if (static_cast<quint64>(w.pending.size()) < 4ull + size)
            return;
        QDataStream s(w.pending.mid(4, static_cast<qsizetype>(size)));
        w.pending.remove(0, static_cast<qsizetype>(size) + 4);
        quint8 what = 0;
        s >> what;
        if (what == kFragment) {
            qint32 index = -1;
            s >> index;
            w.current = index;
            ++w.begun;
        } else if (what == kResult) {
            w.reported = DecodeResult(s, w.result, w.encoded);
        }
    }
}

void RemoveFile(const fs::path& path) {
    std::error_code ec;
    if (!path.empty())
        fs::remove(path, ec);
}

// Appends the files' bytes from `skip` on to `out`; false when anything fails. `pump` runs
// between blocks (a joined book can take seconds).
bool AppendFiles(int out, const std::vector<fs::path>& files, off_t skip,
                 const std::function<void()>& pump) {
    std::vector<char> buffer(1 << 20);
    for (const fs::path& file : files) {
        const int in = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (in < 0)
            return false;
        bool ok = ::lseek(in, skip, SEEK_SET) == skip;
        for (;;) {
            const ssize_t n = ok ? ::read(in, buffer.data(), buffer.size()) : -1;
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ok = ok && n == 0;
                break;
            }
            if (!WriteAll(out, buffer.data(), static_cast<size_t>(n))) {
                ok = false;
                break;
            }
            if (pump)
                pump();
        }
        ::close(in);
        if (!ok)
            return false;
    }
    return true;
}

// The encoded parts one after the other under the target's name. MP3 frames simply follow one
// another; Ogg streams one after another form a chained stream.
bool JoinEncoded(const std::vector<fs::path>& parts, const fs::path& target,
                 const std::function<void()>& pump) {
    const fs::path temp = base::TempPathBeside(target);
    const int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0)
        return false;
    bool ok = AppendFiles(out, parts, 0, pump) && ::fsync(out) == 0;
    ok = ::close(out) == 0 && ok;
    std::error_code ec;
    if (ok)
        fs::rename(temp, target, ec);
    if (!ok || ec) {
        RemoveFile(temp);
        return false;
    }
    return true;
}

// The part WAV files as one under `wav`: the first part grows by the audio data of the others
// and gets a header for the whole. "" when done, else why not (UTF-8).
std::string JoinWav(const std::vector<fs::path>& parts, const fs::path& wav, int formatIndex,
                    const std::function<void()>& pump) {
    constexpr off_t kHeader = 44;
    std::error_code ec;
    unsigned long long data = 0;
    for (const fs::path& part : parts) {
        const auto size = fs::file_size(part, ec);
        if (ec || size < static_cast<unsigned long long>(kHeader))
            return "part of the recording is missing";
        data += size - kHeader;
    }
    if (data + kHeader > 0xFFFFFFFFull)
        return "файл WAV не может быть больше 4 ГБ: включите запись по частям";
    const int out = ::open(parts.front().c_str(), O_WRONLY | O_CLOEXEC);
    if (out < 0)
        return std::string("cannot open the recording: ") + std::strerror(errno);
    const std::string header =
        WavHeader(speech::AudioFormatOfType(formatIndex + 4), static_cast<uint32_t>(data));
    bool ok =
        ::lseek(out, 0, SEEK_END) >= 0 &&
        AppendFiles(out, {parts.begin() + 1, parts.end()}, kHeader, pump) &&
        ::pwrite(out, header.data(), header.size(), 0) == static_cast<ssize_t>(header.size()) &&
        ::fsync(out) == 0;
    const int error = errno;
    ok = ::close(out) == 0 && ok;
    if (!ok)
        return std::string("cannot write the audio file: ") + std::strerror(error);
    fs::rename(parts.front(), wav, ec);
    return ec ? ec.message() : std::string();
}

// Cuts the fragments into `count` contiguous shares of about the same size: [starts[k],
// starts[k + 1]).
std::vector<size_t> Shares(const std::vector<std::string>& fragments, int count) {
    size_t total = 0;
    for (const std::string& f : fragments)
        total += f.size() + 1;
    std::vector<size_t> starts{0};
    size_t done = 0;
    for (size_t i = 0; i < fragments.size() && static_cast<int>(starts.size()) < count; ++i) {
        done += fragments[i].size() + 1;
        const size_t fragmentsLeft = fragments.size() - i - 1;
        const size_t sharesLeft = static_cast<size_t>(count) - starts.size();
        if (fragmentsLeft >= sharesLeft &&
            (done * static_cast<size_t>(count) >= total * starts.size() ||
             fragmentsLeft == sharesLeft))
            starts.push_back(i + 1);
    }
    starts.push_back(fragments.size());
    return starts;
}

// Extra encoder options for a part: lame's information frame would describe the first part
// only (players would take its length for the whole file), so none is written.
std::string PartParam(int acNumber, const std::string& allParam) {
    return acNumber == 1 ? allParam + " -t" : allParam;
}

} // namespace

int WorkerCount(int setting, size_t fragments) {
    const int wanted = setting > 0 ? setting : std::max(1, QThread::idealThreadCount());
    return static_cast<int>(std::clamp<size_t>(fragments, 1, static_cast<size_t>(wanted)));
}

fs::path WorkerProgram() {
    if (QCoreApplication::instance()) {
        const QString beside = QCoreApplication::applicationDirPath() + "/vocalix-cli";
        const QFileInfo info(beside);
        if (info.isFile() && info.isExecutable())
            return beside.toStdString();
    }
    const QString found = QStandardPaths::findExecutable("vocalix-cli");
    return found.isEmpty() ? fs::path() : fs::path(found.toStdString());
}

RecordOutcome RecordWithWorkers(speech::SpVoice& voice, const std::string& text,
                                const fs::path& wavIn, const RecordSettings& settings, int acNumber,
                                const std::string& allParam, const fs::path& programDir,
                                const RecordHooks& hooks,
                                const std::function<void(bool)>& converting, int workers,
                                const fs::path& workerProgram) {
    const fs::path wav = fs::absolute(wavIn);
    std::vector<std::string> fragments, offsets;
    speech::SplitToFragments(text, settings.bytesInFrag, fragments, offsets);
    if (hooks.prepare) {
        for (size_t i = 0; i < fragments.size(); ++i) {
            if (!hooks.prepare(fragments[i])) {
                fragments.resize(i);
                break;
            }
            if (hooks.pump && i % 16 == 15)
                hooks.pump();
        }
    }
    const std::string ext = ConverterExtension(acNumber);
    fs::path target = wav;
    if (!ext.empty())
        target.replace_extension(ext);

    std::vector<Worker> crew;
    const std::vector<size_t> starts = Shares(fragments, WorkerCount(workers, fragments.size()));
    for (size_t k = 0; k + 1 < starts.size(); ++k) {
        Worker w;
        Request& r = w.request;
        if (voice.Voice())
            r.voiceId = voice.Voice()->Voice().id;
        r.rate = voice.Rate();
        r.formatIndex = settings.formatIndex;
        r.isXml = settings.isXml;
        r.acNumber = ext.empty() ? 0 : acNumber;
        r.allParam = PartParam(acNumber, allParam);
        r.wav = base::TempPathBeside(wav);
        if (!ext.empty())
            r.encoded = base::TempPathBeside(target);
        r.firstIndex = static_cast<int>(starts[k]);
        r.before.assign(fragments.begin(), fragments.begin() + static_cast<long>(starts[k]));
        // An MP3 tag belongs at the start of the file only; every stream of a chained Ogg file
        // has its own.
        if (k == 0 || acNumber == 2)
            r.tags = settings.tags;
        r.fragments.assign(fragments.begin() + static_cast<long>(starts[k]),
                           fragments.begin() + static_cast<long>(starts[k + 1]));
        crew.push_back(std::move(w));
    }
    auto removeParts = [&] {
        for (const Worker& w : crew) {
            RemoveFile(w.request.wav);
            RemoveFile(w.request.encoded);
        }
    };

    RecordResult record;
    bool stopSent = false;
    for (Worker& w : crew)
        if (!Spawn(w, workerProgram, programDir))
            record.error = base::Cp("Не удалось запустить процесс записи ") +
                           base::Utf8ToCp1251(workerProgram.string());
    int shownBegun = -1, shownCurrent = -2;
    for (;;) {
        std::vector<pollfd> fds;
        for (const Worker& w : crew)
            if (w.output >= 0)
                fds.push_back({w.output, POLLIN, 0});
        if (fds.empty())
            break;
        ::poll(fds.data(), fds.size(), hooks.pump ? 20 : 200);
        for (Worker& w : crew) {
            if (w.output < 0)
                continue;
            char buffer[65536];
            for (;;) {
                const ssize_t n = ::read(w.output, buffer, sizeof buffer);
                if (n > 0) {
                    w.pending.append(buffer, n);
                    continue;
                }
                if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                    ::close(w.output);
                    w.output = -1;
                }
                break;
            }
            Parse(w);
        }
        if (!stopSent && hooks.stopRequested && hooks.stopRequested()) {
            for (const Worker& w : crew)
                if (w.pid > 0)
                    ::kill(w.pid, SIGTERM);
            stopSent = true;
        }
        int begun = 0, current = -1;
        for (const Worker& w : crew) {
            begun += w.begun;
            if (current < 0 && !w.reported && w.current >= 0)
                current = w.current;
        }
        if (hooks.fragmentStarting && (begun != shownBegun || current != shownCurrent) &&
            current >= 0) {
            const auto i = static_cast<size_t>(current);
            hooks.fragmentStarting(begun - 1, std::stoll(offsets[i]) +
                                                  static_cast<long long>(fragments[i].size()));
            shownBegun = begun;
            shownCurrent = current;
        }
        if (hooks.pump)
            hooks.pump();
    }
    for (Worker& w : crew) {
        int status = 0;
        while (w.pid > 0 && ::waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {
        }
        w.terminated = w.pid > 0 && WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM;
    }

    // The parts in order, up to the first one that did not record its whole share.
    std::vector<const Worker*> kept;
    for (const Worker& w : crew) {
        if (!w.reported) {
            // Stop can reach a worker before it is ready for it; it then records nothing.
            if (record.error.empty() && !(stopSent && w.terminated))
                record.error = base::Cp("Процесс записи завершился аварийно");
            break;
        }
        if (w.result.written)
            kept.push_back(&w);
        if (record.error.empty())
            record.error = w.result.error;
        if (!w.result.written || w.result.stopped || !w.result.error.empty() ||
            w.result.fragments < static_cast<int>(w.request.fragments.size()))
            break;
    }
    record.stopped = stopSent && kept.size() < crew.size();
    bool allEncoded = !ext.empty();
    std::vector<fs::path> wavParts, encodedParts;
    for (const Worker* w : kept) {
        for (speech::SpokenFragment f : w->result.spoken) {
            f.startSeconds += record.seconds;
            record.spoken.push_back(std::move(f));
        }
        record.seconds += w->result.seconds;
        record.fragments += w->result.fragments;
        record.stopped = record.stopped || w->result.stopped;
        allEncoded = allEncoded && w->encoded;
        wavParts.push_back(w->request.wav);
        encodedParts.push_back(w->request.encoded);
    }
    record.written = !kept.empty();

    // Nothing to wait for: the encoded parts are complete, or the converter runs on the WAV.
    struct Joined : EncodedCopy {
        bool Finish(const std::function<void()>&) override { return true; }
        void Abort() override {}
    } joined;
    const bool encodedJoined =
        record.written && allEncoded && JoinEncoded(encodedParts, target, hooks.pump);
    if (record.written && !encodedJoined) {
        if (const std::string why = JoinWav(wavParts, wav, settings.formatIndex, hooks.pump);
            !why.empty()) {
            record.written = false;
            record.error = base::Cp("Не удалось записать аудиофайл ") +
                           base::Utf8ToCp1251(wav.string()) + "\r\n" + base::Utf8ToCp1251(why);
        }
    }
    removeParts();
    return ConvertRecording(std::move(record), wav, encodedJoined ? &joined : nullptr, acNumber,
                            allParam, programDir, hooks.pump, converting, settings.subtitles,
                            settings.tags);
}

int RunRecordingWorker(std::istream& in, std::ostream& out, const fs::path& programDir) {
    struct sigaction stop {};
    stop.sa_handler = AskToStop;
    ::sigaction(SIGTERM, &stop, nullptr);
    const std::string raw{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    Request request;
    if (!DecodeRequest(Bytes(raw), request))
        return 2;
    auto send = [&out](const QByteArray& payload) {
        const QByteArray frame = Frame(payload);
        out.write(frame.constData(), frame.size());
        out.flush();
    };

    speech::SpVoice voice;
    try {
        for (const speech::SpObjectTokenPtr& token : voice.GetVoices())
            if (token->Voice().id == request.voiceId)
                voice.SetVoice(token);
    } catch (const speech::SpeechError&) {
        // Speaking reports the missing engine.
    }
    voice.SetRate(request.rate);

    RecordSettings settings;
    settings.formatIndex = request.formatIndex;
    settings.isXml = request.isXml;
    // The share must sound exactly as it does after the text before it in one process.
    const int flags =
        speech::SVSFPurgeBeforeSpeak | (request.isXml ? speech::SVSFIsXML : speech::SVSFIsNotXML);
    try {
        for (const std::string& fragment : request.before)
            if (!g_stopAsked)
                voice.Rehearse(fragment, flags);
    } catch (const speech::SpeechError&) {
        // Recording the share reports a failing engine.
    }
    if (g_stopAsked) { // the share would not sound as it should: nothing of it is recorded
        RecordResult nothing;
        nothing.stopped = true;
        send(EncodeResult(nothing, false));
        return out ? 0 : 2;
    }
    StreamingEncoder encoder;
    const bool streaming =
        request.acNumber != 0 &&
        encoder.Start(request.acNumber, request.allParam, request.encoded, programDir,
                      StreamingWavHeader(speech::AudioFormatOfType(request.formatIndex + 4)),
                      request.tags);
    std::function<void(const char*, size_t)> tee;
    if (streaming)
        tee = [&](const char* bytes, size_t size) { encoder.Write(bytes, size, {}); };
    RecordHooks hooks;
    hooks.fragmentStarting = [&](int index, long long) {
        QByteArray payload;
        QDataStream s(&payload, QIODevice::WriteOnly);
        s << kFragment << qint32(request.firstIndex + index);
        send(payload);
    };
    hooks.stopRequested = [] { return g_stopAsked != 0; };
    const RecordResult record =
        RecordFragments(voice, request.fragments, request.wav, settings, hooks, tee);
    bool encoded = false;
    if (streaming && record.written && record.copyComplete)
        encoded = encoder.Finish({});
    else
        encoder.Abort();
    send(EncodeResult(record, encoded));
    return out ? 0 : 2;
}

} // namespace vocalix::audio
