#include "audio/Subtitles.h"

#include "base/AtomicFile.h"
#include "base/Cp1251.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vocalix::audio {
namespace {

// A cue longer than this many words is cut at the next comma.
constexpr int kLongCue = 14;

bool EndsSentence(char c) {
    return c == '.' || c == '!' || c == '?' || c == ';' || c == ':' || c == '\r' || c == '\n' ||
           c == '\x85'; // the ellipsis of Windows-1251
}

std::string OneLine(std::string_view text) {
    std::string line;
    bool blank = true;
    for (char c : text) {
        const bool space = c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0';
        if (space) {
            blank = true;
            continue;
        }
        if (blank && !line.empty())
            line += ' ';
        line += c;
        blank = false;
    }
    return line;
}

std::string Clock(double seconds, bool srt) {
    const long long ms = std::llround(std::max(seconds, 0.0) * 1000);
    char buffer[32];
    if (srt)
        std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld,%03lld", ms / 3600000,
                      ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    else // LRC counts minutes without hours, in hundredths
        std::snprintf(buffer, sizeof buffer, "%02lld:%02lld.%02lld", ms / 60000, ms / 1000 % 60,
                      ms / 10 % 100);
    return buffer;
}

} // namespace

std::vector<Cue> CuesOf(const std::vector<speech::SpokenFragment>& spoken, double audioSeconds) {
    struct Start {
        double time;
        const speech::SpokenFragment* fragment;
        size_t offset; // in the fragment's text
    };
    std::vector<Start> starts;
    for (const speech::SpokenFragment& f : spoken) {
        int words = 0;
        size_t previousEnd = 0;
        for (size_t i = 0; i < f.words.size(); ++i) {
            const speech::WordMark& w = f.words[i];
            const auto begin =
                static_cast<size_t>(std::clamp<int>(w.start, 0, static_cast<int>(f.text.size())));
            const std::string_view gap = std::string_view(f.text).substr(
                std::min(previousEnd, begin), begin - std::min(previousEnd, begin));
            const bool sentence = std::any_of(gap.begin(), gap.end(), EndsSentence);
            const bool comma = gap.find(',') != std::string_view::npos;
            if (i == 0 || sentence || (comma && words >= kLongCue)) {
                // The first cue of a fragment also takes what comes before its first word.
                const double time = f.startSeconds + static_cast<double>(w.sample) / f.rate;
                starts.push_back({time, &f, i == 0 ? 0 : begin});
                words = 0;
            }
            ++words;
            previousEnd = std::max(previousEnd, begin + static_cast<size_t>(std::max(w.length, 0)));
        }
    }
    std::vector<Cue> cues;
    for (size_t i = 0; i < starts.size(); ++i) {
        const Start& s = starts[i];
        const bool lastOfFragment = i + 1 == starts.size() || starts[i + 1].fragment != s.fragment;
        const size_t end = lastOfFragment ? s.fragment->text.size() : starts[i + 1].offset;
        Cue cue;
        cue.text = OneLine(std::string_view(s.fragment->text).substr(s.offset, end - s.offset));
        // Times only move forward, and nothing reaches past the audio (a recording stopped
        // early holds only part of its last text).
        cue.start = std::min(s.time, audioSeconds);
        if (!cues.empty())
            cue.start = std::max(cue.start, cues.back().start);
        if (cue.start >= audioSeconds && !cues.empty())
            break;
        if (!cues.empty())
            cues.back().end = cue.start;
        if (cue.text.empty() && !cues.empty())
            continue; // nothing to show: the previous cue runs on
        cues.push_back(std::move(cue));
    }
    if (!cues.empty())
        cues.back().end = audioSeconds;
    // Two words reported at one instant would make an empty cue: join it to the next.
    std::vector<Cue> merged;
    for (Cue& c : cues) {
        if (!merged.empty() && merged.back().end <= merged.back().start) {
            merged.back().text += ' ' + c.text;
            merged.back().end = c.end;
            continue;
        }
        merged.push_back(std::move(c));
    }
    return merged;
}

std::string SrtText(const std::vector<Cue>& cues) {
    std::string out;
    for (size_t i = 0; i < cues.size(); ++i)
        out += std::to_string(i + 1) + "\r\n" + Clock(cues[i].start, true) + " --> " +
               Clock(cues[i].end, true) + "\r\n" + base::Cp1251ToUtf8(cues[i].text) + "\r\n\r\n";
    return out;
}

std::string LrcText(const std::vector<Cue>& cues) {
    std::string out;
    for (const Cue& c : cues)
        out += "[" + Clock(c.start, false) + "]" + base::Cp1251ToUtf8(c.text) + "\r\n";
    if (!cues.empty())
        out += "[" + Clock(cues.back().end, false) + "]\r\n"; // the end of the last line
    return out;
}

bool WriteSubtitles(const std::filesystem::path& audioFile, const std::vector<Cue>& cues,
                    std::string* error) {
    for (const char* ext : {".srt", ".lrc"}) {
        std::filesystem::path file = audioFile;
        file.replace_extension(ext);
        const std::string text = std::string(ext) == ".srt" ? SrtText(cues) : LrcText(cues);
        std::string why;
        if (!base::WriteFileAtomic(file, text, &why)) {
            if (error)
                *error = "не удалось записать " + file.string() + ": " + why;
            return false;
        }
    }
    return true;
}

} // namespace vocalix::audio
