#include "audio/Encoder.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cmath>
#include <cstdlib>

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

std::vector<std::string> EncoderArguments(int acNumber, const std::string& allParam,
                                          const fs::path& wav, const fs::path& output,
                                          int oggQuality) {
    std::vector<std::string> args;
    for (const QString& a : QProcess::splitCommand(QString::fromStdString(allParam)))
        args.push_back(a.toStdString());
    if (acNumber == 2) {
        std::vector<std::string> ogg;
        for (size_t i = 0; i < args.size(); ++i) {
            const std::string& a = args[i];
            const bool bitRate = a.size() > 1 && a[0] == '-' && IsNumber(a.substr(1));
            const bool bOption = a == "-b" && i + 1 < args.size();
            if (oggQuality >= -1 && (bitRate || bOption)) {
                ogg.push_back("-q");
                ogg.push_back(std::to_string(oggQuality));
                if (bOption)
                    ++i;
            } else if (bitRate) {
                ogg.push_back("-b");
                ogg.push_back(a.substr(1));
            } else {
                ogg.push_back(a);
            }
        }
        args = std::move(ogg);
        args.push_back("-o");
        args.push_back(output.string());
        args.push_back(wav.string());
    } else {
        args.push_back(wav.string());
        args.push_back(output.string());
    }
    return args;
}

ConvertResult ConvertWav(int acNumber, const std::string& allParam, const fs::path& wavIn,
                         const fs::path& targetIn, const fs::path& programDir,
                         const std::function<void()>& pump) {
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
        for (const std::string& a : EncoderArguments(acNumber, allParam, wav, temp, oggQuality))
            args << QString::fromStdString(a);
        process.setProgram(Q(program));
        process.setArguments(args);
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

struct StreamingEncoder::Impl {
    QProcess process;
    fs::path temp, target;
    bool running = false;
};

StreamingEncoder::StreamingEncoder() : m(std::make_unique<Impl>()) {}

StreamingEncoder::~StreamingEncoder() {
    Abort();
}

bool StreamingEncoder::Start(int acNumber, const std::string& allParam, const fs::path& target,
                             const fs::path& programDir, const std::string& wavHeader) {
    const fs::path program = FindEncoder(EncoderProgram(acNumber), programDir);
    if (program.empty())
        return false;
    m->target = fs::absolute(target);
    m->temp = base::TempPathBeside(m->target);
    QStringList args;
    for (const std::string& a : EncoderArguments(acNumber, allParam, "-", m->temp))
        args << QString::fromStdString(a);
    // Progress output nobody reads must not fill a pipe and stall the encoder.
    m->process.setStandardOutputFile(QProcess::nullDevice());
    m->process.setStandardErrorFile(QProcess::nullDevice());
    m->process.start(Q(program), args);
    if (!m->process.waitForStarted(-1))
        return false;
    m->running = true;
    Write(wavHeader.data(), wavHeader.size(), {});
    return m->running;
}

void StreamingEncoder::Write(const char* bytes, size_t size, const std::function<void()>& pump) {
    if (!m->running)
        return;
    if (m->process.state() != QProcess::Running ||
        m->process.write(bytes, static_cast<qint64>(size)) != static_cast<qint64>(size)) {
        m->running = false;
        return;
    }
    // Push what the pipe takes now; hold on only when far ahead of the encoder.
    m->process.waitForBytesWritten(0);
    constexpr qint64 kAhead = 8 << 20;
    while (m->process.bytesToWrite() > kAhead && m->process.state() == QProcess::Running) {
        m->process.waitForBytesWritten(pump ? 20 : 1000);
        if (pump)
            pump();
    }
}

bool StreamingEncoder::Finish(const std::function<void()>& pump) {
    if (!m->running) {
        Abort();
        return false;
    }
    m->running = false;
    while (m->process.bytesToWrite() > 0 && m->process.state() == QProcess::Running) {
        m->process.waitForBytesWritten(pump ? 20 : 1000);
        if (pump)
            pump();
    }
    m->process.closeWriteChannel();
    while (!m->process.waitForFinished(pump ? 30 : -1)) {
        if (m->process.state() == QProcess::NotRunning)
            break;
        if (pump)
            pump();
    }
    std::error_code ec;
    const bool exited =
        m->process.exitStatus() == QProcess::NormalExit && m->process.exitCode() == 0;
    const auto size = fs::is_regular_file(m->temp, ec) ? fs::file_size(m->temp, ec) : 0;
    if (exited && !ec && size > 0) {
        fs::rename(m->temp, m->target, ec);
        if (!ec)
            return true;
    }
    fs::remove(m->temp, ec);
    return false;
}

void StreamingEncoder::Abort() {
    m->running = false;
    if (m->process.state() != QProcess::NotRunning) {
        m->process.kill();
        m->process.waitForFinished(-1);
    }
    if (!m->temp.empty()) {
        std::error_code ec;
        fs::remove(m->temp, ec);
    }
}

} // namespace vocalix::audio
