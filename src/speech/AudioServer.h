#pragma once

#include <QByteArray>
#include <QString>

namespace vocalix::speech {

// Whether the sound server would take a playback stream on `deviceId` (empty: the default
// output) now, waiting at most `timeoutMs`; the reason when not. QAudioSink::start() waits for
// its stream without a limit, so a server that accepts clients but cannot play (no session
// manager, no sink) would freeze the caller; asking first bounds that wait.
bool ProbeAudioOutput(const QByteArray& deviceId, int sampleRate, int timeoutMs, QString* why);

} // namespace vocalix::speech
