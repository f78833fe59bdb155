#pragma once

#include "speech/AudioPlayer.h"

#include <QtTest>

// Tests that play audio need the test script's sound session. Without one (a bare run of a
// test program) they skip; when the script started one, a missing output is a failure.
#define VOCALIX_REQUIRE_AUDIO()                                                                    \
    do {                                                                                           \
        QString why_;                                                                              \
        if (!::vocalix::speech::AudioPlayer::OutputAvailable(&why_)) {                             \
            if (qEnvironmentVariableIsSet("VOCALIX_AUDIO_SESSION"))                                \
                QFAIL(qPrintable(QStringLiteral("the test audio session is broken: ") + why_));    \
            QSKIP("no audio session: run the tests through scripts/test.sh");                      \
        }                                                                                          \
    } while (false)
