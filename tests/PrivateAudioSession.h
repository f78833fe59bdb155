#pragma once

// A sound session owned by one test program: its own D-Bus, PipeWire, session manager and
// PulseAudio service in a runtime folder of its own, so that the test can stop and start the
// server, or use a sink that takes audio faster than real time, without touching the session
// the other tests play into. The configuration is the one scripts/audio-session.sh writes.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTest>

#include <array>
#include <memory>

namespace vocalix::testing {

class PrivateAudioSession {
public:
    // Must run before anything connects to a sound server: the client library reads its
    // environment when it first does.
    static void UseRuntimeDir(const QString& dir) {
        qputenv("XDG_RUNTIME_DIR", dir.toUtf8());
        qputenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + dir + "/bus").toUtf8());
        qunsetenv("PULSE_SERVER");
        qunsetenv("PIPEWIRE_REMOTE");
    }

    explicit PrivateAudioSession(const QString& runtimeDir) : m_dir(runtimeDir) {
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir);
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir + QStringLiteral("/config"));
        m_env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                     QStringLiteral("unix:path=") + m_dir + QStringLiteral("/bus"));
    }
    ~PrivateAudioSession() {
        Stop();
        Terminate(m_bus);
    }
    PrivateAudioSession(const PrivateAudioSession&) = delete;
    PrivateAudioSession& operator=(const PrivateAudioSession&) = delete;

    // Starts the server (the bus once) and waits until the sink is the default output; the
    // reason when it does not come up.
    bool Start(QString* why) {
        if (!m_bus) {
            QProcess config;
            config.start(QStringLiteral("bash"),
                         {QStringLiteral(VOCALIX_SOURCE_DIR "/scripts/audio-session.sh"),
                          QStringLiteral("config"), m_dir + QStringLiteral("/config")});
            if (!config.waitForFinished(10000) || config.exitCode() != 0)
                return Failed(why, QStringLiteral("the configuration was not written"));
            m_bus =
                Launch(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--address=unix:path=") + m_dir + QStringLiteral("/bus")});
            for (int i = 0; i < 100 && !QFileInfo::exists(m_dir + QStringLiteral("/bus")); ++i)
                QTest::qWait(20);
        }
        const std::array<QString, 3> programs{QStringLiteral("pipewire"),
                                              QStringLiteral("wireplumber"),
                                              QStringLiteral("pipewire-pulse")};
        for (size_t i = 0; i < programs.size(); ++i) {
            m_server[i] = Launch(programs[i], {});
            QTest::qWait(300);
        }
        for (int i = 0; i < 100; ++i) {
            QProcess ask;
            ask.setProcessEnvironment(m_env);
            ask.start(QStringLiteral("pactl"), {QStringLiteral("get-default-sink")});
            if (ask.waitForFinished(3000) &&
                ask.readAllStandardOutput().trimmed() == QByteArrayLiteral("vocalix-null"))
                return true;
            QTest::qWait(100);
        }
        return Failed(why, QStringLiteral("the null sink did not come up"));
    }

    // Takes the whole server away (the bus stays), as when the sound system dies.
    void Stop() {
        for (auto it = m_server.rbegin(); it != m_server.rend(); ++it)
            Terminate(*it);
    }

private:
    std::unique_ptr<QProcess> Launch(const QString& program, const QStringList& args) {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(m_env);
        p->setStandardOutputFile(QProcess::nullDevice());
        p->setStandardErrorFile(m_dir + QStringLiteral("/log"), QIODevice::Append);
        p->start(program, args);
        p->waitForStarted();
        return p;
    }
    static void Terminate(std::unique_ptr<QProcess>& p) {
        if (!p)
            return;
        p->terminate();
        if (!p->waitForFinished(3000)) {
            p->kill();
            p->waitForFinished(3000);
        }
        p.reset();
    }
    bool Failed(QString* why, const QString& what) const {
        QFile log(m_dir + QStringLiteral("/log"));
        if (why) {
            *why = what;
            if (log.open(QIODevice::ReadOnly))
                *why += QStringLiteral("; server log:\n") + QString::fromUtf8(log.readAll());
        }
        return false;
    }

    QString m_dir;
    QProcessEnvironment m_env;
    std::unique_ptr<QProcess> m_bus;
    std::array<std::unique_ptr<QProcess>, 3> m_server;
};

} // namespace vocalix::testing
