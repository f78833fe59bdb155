#pragma once

#include "speech/SpeechEngine.h"

#include <filesystem>
#include <string>
#include <vector>

// Subtitles of a recording from the engine's own word timing: one cue per sentence or phrase,
// timed by the words the engine reported while it synthesised them.
namespace vocalix::audio {

struct Cue {
    double start = 0; // seconds
    double end = 0;
    std::string text; // Windows-1251, on one line
};

// The cues of the texts spoken into a file `audioSeconds` long. A cue runs from its first
// word to the first word of the next one (the last to the end of the audio): cues never
// overlap, their times increase, and their texts joined give the spoken text.
std::vector<Cue> CuesOf(const std::vector<speech::SpokenFragment>& spoken, double audioSeconds);

// The cues as SubRip ("name.srt") and as LRC lyrics ("name.lrc") text, both UTF-8.
std::string SrtText(const std::vector<Cue>& cues);
std::string LrcText(const std::vector<Cue>& cues);

// Writes "name.srt" and "name.lrc" beside `audioFile`; false with the reason (UTF-8).
bool WriteSubtitles(const std::filesystem::path& audioFile, const std::vector<Cue>& cues,
                    std::string* error);

} // namespace vocalix::audio
