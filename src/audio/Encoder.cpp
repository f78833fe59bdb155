#include "audio/Encoder.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include <cstdlib>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vocalix::audio {
namespace fs = std::filesystem;

namespace {

std::string Quoted(const std::string& path) {
    return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

bool IsNumber(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

} // namespace

std::string ConverterExtension(int acNumber) {
    return acNumber == 1 ? ".mp3" : acNumber == 2 ? ".ogg" : "";
}

std::string EncoderProgram(int acNumber) {
    return acNumber == 1 ? "lame" : acNumber == 2 ? "oggenc" : "";
}

std::string ConverterCommandLine(int acNumber, const std::string& allParam, const std::string& wav,
                                 const std::string& target) {
    return EncoderProgram(acNumber) + " " + allParam + " " + Quoted(wav) + " " + Quoted(target);
}

fs::path FindEncoder(const std::string& program, const fs::path& programDir) {
    if (program.empty())
        return {};
    const QFileInfo own(Q(programDir / program));
    if (own.isFile() && own.isExecutable())
        return programDir / program;
    const QString found = QStandardPaths::findExecutable(QString::fromStdString(program));
    return found.isEmpty() ? fs::path() : fs::path(found.toStdString());
}

int OggQualityForBitRate(int kbps) {
    // Nominal bit rates of oggenc's quality steps -1 ... 10 for 44.1 kHz stereo.
    static const int kRates[] = {48, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 500};
    int best = 0;
    for (int i = 1; i < 12; ++i)
        if (std::abs(kRates[i] - kbps) < std::abs(kRates[best] - kbps))
            best = i;
    return best - 1;
}

std::vector<std::string> EncoderTagArguments(int acNumber, const AudioTags& tags) {
    if (acNumber != 1 && acNumber != 2)
        return {};
    const bool lame = acNumber == 1;
    std::vector<std::string> args;
    auto add = [&](const char* lameOption, const char* oggOption, const std::string& value) {
        if (value.empty())
            return;
        args.push_back(lame ? lameOption : oggOption);
        args.push_back(value);
    };
    add("--tt", "-t", tags.title);
    add("--ta", "-a", tags.artist);
    add("--tl", "-l", tags.album);
    add("--tn", "-N", tags.track > 0 ? std::to_string(tags.track) : std::string());
    if (args.empty())
        return args;
    // An ID3 version 1 tag cannot hold Cyrillic: lame would fill it with "?". oggenc is told
    // that the texts are UTF-8, whatever the locale.
    args.insert(args.begin(), lame ? "--id3v2-only" : "--utf8");
    return args;
}

std::vector<std::string> EncoderEnvironment() {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string_view item(*e);
        if (item.rfind("LC_ALL=", 0) != 0 && item.rfind("LANGUAGE=", 0) != 0)
            env.emplace_back(item);
    }
    env.push_back("LC_ALL=C.UTF-8");
    return env;
}

std::vector<std::string> EncoderArguments(int acNumber, const std::string& allParam,
                                          const fs::path& wav, const fs::path& output,
                                          int oggQuality, const AudioTags& tags) {
    std::vector<std::string> args = EncoderTagArguments(acNumber, tags);
    std::vector<std::string> user;
    for (const QString& a : QProcess::splitCommand(QString::fromStdString(allParam)))
        user.push_back(a.toStdString());
    if (acNumber == 2) {
        for (size_t i = 0; i < user.size(); ++i) {
            const std::string& a = user[i];
            const bool bitRate = a.size() > 1 && a[0] == '-' && IsNumber(a.substr(1));
            const bool bOption = a == "-b" && i + 1 < user.size();
            if (oggQuality >= -1 && (bitRate || bOption)) {
                args.push_back("-q");
                args.push_back(std::to_string(oggQuality));
                if (bOption)
                    ++i;
            } else if (bitRate) {
                args.push_back("-b");
                args.push_back(a.substr(1));
            } else {
                args.push_back(a);
            }
        }
        args.push_back("-o");
        args.push_back(output.string());
        args.push_back(wav.string());
    } else {
        args.insert(args.end(), user.begin(), user.end());
        args.push_back(wav.string());
        args.push_back(output.string());
    }
    return args;
}

ConvertResult ConvertWav(int acNumber, const std::string& allParam, const fs::path& wavIn,
                         const fs::path& targetIn, const fs::path& programDir,
                         const std::function<void()>& pump, const AudioTags& tags) {
    // Absolute paths: a name beginning with "-" must never pass for an option.
    const fs::path wav = fs::absolute(wavIn);
    const fs::path target = fs::absolute(targetIn);
    ConvertResult result;
    result.commandLine = ConverterCommandLine(acNumber, allParam, wav.string(), target.string());
    const fs::path program = FindEncoder(EncoderProgram(acNumber), programDir);
    const std::string failed =
        base::Cp("Не удалось выполнить процесс ") + base::Utf8ToCp1251(result.commandLine);
    const std::string kept = base::Cp("\r\nФайл WAV сохранён: ") + base::Utf8ToCp1251(wav.string());
    if (program.empty()) {
        result.status = ConvertResult::Status::NotStarted;
        result.message = failed + kept;
        return result;
    }
    const fs::path temp = base::TempPathBeside(target);
    auto run = [&](int oggQuality, QString* errorOutput) {
        QProcess process;
        QStringList args;
        for (const std::string& a :
             EncoderArguments(acNumber, allParam, wav, temp, oggQuality, tags))
            args << QString::fromStdString(a);
        QStringList env;
        for (const std::string& e : EncoderEnvironment())
            env << QString::fromStdString(e);
        process.setProgram(Q(program));
        process.setArguments(args);
        process.setEnvironment(env);
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.setStandardInputFile(QProcess::nullDevice());
        process.start();
        if (!process.waitForStarted(-1))
            return -2;
        while (!process.waitForFinished(pump ? 30 : -1)) {
            if (process.state() == QProcess::NotRunning)
                break;
            process.readAllStandardOutput(); // the encoders' progress: keep the pipe flowing
            if (pump)
                pump();
        }
        if (errorOutput)
            *errorOutput = QString::fromLocal8Bit(process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    };
    QString errors;
    int code = run(-2, &errors);
    if (code == -2) {
        result.status = ConvertResult::Status::NotStarted;
        result.message = failed + kept;
        return result;
    }
    if (acNumber == 2 && code != 0 && errors.contains("Mode initialisation failed")) {
        // oggenc refuses some bit rates for some formats; the nearest quality step works.
        int kbps = 0;
        const std::vector<std::string> args = EncoderArguments(2, allParam, wav, temp);
        for (size_t i = 0; i + 1 < args.size(); ++i)
            if (args[i] == "-b" && IsNumber(args[i + 1]))
                kbps = std::atoi(args[i + 1].c_str());
        if (kbps > 0) {
            std::error_code ec;
            fs::remove(temp, ec);
            code = run(OggQualityForBitRate(kbps), &errors);
        }
    }
    result.exitCode = code;
    std::error_code ec;
    const auto size = fs::is_regular_file(temp, ec) ? fs::file_size(temp, ec) : 0;
    if (code == 0 && !ec && size > 0) {
        fs::rename(temp, target, ec);
        if (!ec) {
            fs::remove(wav, ec);
            result.status = ConvertResult::Status::Converted;
            return result;
        }
    }
    fs::remove(temp, ec);
    result.status = ConvertResult::Status::Failed;
    result.message = base::Cp("Аудио-конвертер не создал файл ") +
                     base::Utf8ToCp1251(target.string()) + " (" +
                     base::Cp(code >= 0 ? "код завершения " + std::to_string(code)
                                        : std::string("аварийное завершение")) +
                     ")." + kept;
    return result;
}

std::string StreamingWavHeader(const speech::SpAudioFormatSpec& f) {
    return WavHeader(f, 0xFFFFFFFFu);
}

std::string WavHeader(const speech::SpAudioFormatSpec& f, uint32_t dataBytes) {
    std::string h;
    auto le = [&h](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            h += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    const int blockAlign = f.channels * f.bits / 8;
    h += "RIFF";
    le(dataBytes == 0xFFFFFFFFu ? dataBytes : dataBytes + 36, 4);
    h += "WAVEfmt ";
    le(16, 4);
    le(1, 2);
    le(static_cast<uint32_t>(f.channels), 2);
    le(static_cast<uint32_t>(f.rate), 4);
    le(static_cast<uint32_t>(f.rate * blockAlign), 4);
    le(static_cast<uint32_t>(blockAlign), 2);
    le(static_cast<uint32_t>(f.bits), 2);
    h += "data";
    le(dataBytes, 4);
    return h;
}

// The encoder runs as a child process reading a pipe; a thread of ours writes into it, so that
// encoding goes on while this thread waits for the engine or handles the window's events.
struct StreamingEncoder::Impl {
    pid_t pid = -1;
    int pipe = -1;
    fs::path temp, target;
    bool running = false;

    std::thread writer;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::string> queue;
    size_t queued = 0;    // bytes waiting in `queue`
    bool closing = false; // no more data comes
    bool broken = false;  // the encoder stopped reading

    void Feed() {
        // A write into a pipe the encoder has left must fail here rather than end the program.
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        for (;;) {
            std::string block;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return !queue.empty() || closing; });
                if (queue.empty())
                    break;
                block = std::move(queue.front());
                queue.pop_front();
            }
            size_t done = 0;
            while (done < block.size()) {
                const ssize_t n = ::write(pipe, block.data() + done, block.size() - done);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                done += static_cast<size_t>(n);
            }
            std::lock_guard lock(mutex);
            queued = queued > block.size() ? queued - block.size() : 0; // Abort may have cleared it
            if (done < block.size()) {
                broken = true;
                queue.clear();
                queued = 0;
            }
            changed.notify_all();
            if (broken)
                break;
        }
        ::close(pipe);
        pipe = -1;
    }

    // Waits for the child; `pump` runs meanwhile. The exit code, or -1 when it did not exit.
    int Wait(const std::function<void()>& pump) {
        int status = 0;
        for (;;) {
            const pid_t r = ::waitpid(pid, &status, pump ? WNOHANG : 0);
            if (r == pid)
                break;
            if (r < 0 && errno != EINTR) {
                pid = -1;
                return -1;
            }
            if (r == 0) {
                pump();
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    void EndWriter() {
        {
            std::lock_guard lock(mutex);
            closing = true;
        }
        changed.notify_all();
        if (writer.joinable())
            writer.join();
    }
};

StreamingEncoder::StreamingEncoder() : m(std::make_unique<Impl>()) {}

StreamingEncoder::~StreamingEncoder() {
    Abort();
}

bool StreamingEncoder::Start(int acNumber, const std::string& allParam, const fs::path& target,
                             const fs::path& programDir, const std::string& wavHeader,
                             const AudioTags& tags) {
    const fs::path program = FindEncoder(EncoderProgram(acNumber), programDir);
    if (program.empty())
        return false;
    m->target = fs::absolute(target);
    m->temp = base::TempPathBeside(m->target);
    std::vector<std::string> args{program.string()};
    for (const std::string& a : EncoderArguments(acNumber, allParam, "-", m->temp, -2, tags))
        args.push_back(a);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = EncoderEnvironment();
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    // Progress output nobody reads must not fill a pipe and stall the encoder.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int spawned =
        ::posix_spawn(&m->pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[0]);
    if (spawned != 0) {
        ::close(fds[1]);
        m->pid = -1;
        return false;
    }
    m->pipe = fds[1];
    m->closing = m->broken = false;
    m->writer = std::thread([impl = m.get()] { impl->Feed(); });
    m->running = true;
    Write(wavHeader.data(), wavHeader.size(), {});
    return m->running;
}

void StreamingEncoder::Write(const char* bytes, size_t size, const std::function<void()>& pump) {
    if (!m->running)
        return;
    // Hold on only when far ahead of the encoder.
    constexpr size_t kAhead = 32 << 20;
    std::unique_lock lock(m->mutex);
    while (m->queued > kAhead && !m->broken) {
        if (!pump) {
            m->changed.wait(lock);
            continue;
        }
        m->changed.wait_for(lock, std::chrono::milliseconds(20));
        lock.unlock();
        pump();
        lock.lock();
    }
    if (m->broken) {
        m->running = false;
        return;
    }
    m->queue.emplace_back(bytes, size);
    m->queued += size;
    m->changed.notify_all();
}

bool StreamingEncoder::Finish(const std::function<void()>& pump) {
    if (!m->running) {
        Abort();
        return false;
    }
    m->running = false;
    if (pump) {
        // Let the window go on while the encoder catches up.
        std::unique_lock lock(m->mutex);
        while (m->queued > 0 && !m->broken) {
            m->changed.wait_for(lock, std::chrono::milliseconds(20));
            lock.unlock();
            pump();
            lock.lock();
        }
    }
    m->EndWriter();
    const int code = m->Wait(pump);
    std::error_code ec;
    const auto size = fs::is_regular_file(m->temp, ec) ? fs::file_size(m->temp, ec) : 0;
    if (code == 0 && !m->broken && !ec && size > 0) {
        fs::rename(m->temp, m->target, ec);
        if (!ec)
            return true;
    }
    fs::remove(m->temp, ec);
    return false;
}

void StreamingEncoder::Abort() {
    m->running = false;
    if (m->pid > 0) {
        ::kill(m->pid, SIGKILL);
        {
            std::lock_guard lock(m->mutex);
            m->queue.clear();
            m->queued = 0;
        }
        m->EndWriter();
        m->Wait({});
    } else {
        m->EndWriter();
    }
    if (!m->temp.empty()) {
        std::error_code ec;
        fs::remove(m->temp, ec);
    }
}

} // namespace vocalix::audio
