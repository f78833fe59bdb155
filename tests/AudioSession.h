#pragma once

#include "speech/AudioPlayer.h"

#include <QtTest>

// Tests that play audio need a sound session: the test script starts one
// (`source scripts/audio-session.sh start`). Without an output they fail, saying so.
#define VOCALIX_REQUIRE_AUDIO()                                                                    \
    do {                                                                                           \
        QString why_;                                                                              \
        if (!::vocalix::speech::AudioPlayer::OutputAvailable(&why_))                               \
            QFAIL(qPrintable(QStringLiteral("no audio output (start the test sound session: "      \
                                            "source scripts/audio-session.sh start): ") +          \
                             why_));                                                               \
    } while (false)
