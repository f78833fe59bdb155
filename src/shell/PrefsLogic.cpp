#include "shell/PrefsLogic.h"

#include "base/Cp1251.h"
#include "base/IniFile.h"
#include "tools/FreshEye.h"

#include <charconv>

namespace vocalix::shell {

const std::vector<std::string>& HotKeyNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n = {base::Cp("<нет>"), "Space", "Ctrl+Space", "Alt+Space"};
        for (const char* prefix : {"", "Ctrl+", "Shift+"})
            for (int f = 1; f <= 12; ++f)
                n.push_back(prefix + ("F" + std::to_string(f)));
        for (const char* prefix : {"", "Ctrl+", "Alt+"})
            for (char c = 'A'; c <= 'Z'; ++c)
                n.push_back(prefix + std::string(1, c));
        return n;
    }();
    return names;
}

int HotKeyNameIndex(const std::string& name) {
    const auto& names = HotKeyNames();
    for (size_t i = 0; i < names.size(); ++i)
        if (base::EqualsNoCase(names[i], name))
            return static_cast<int>(i);
    return 0;
}

const std::vector<std::string>& ConverterNames() {
    static const std::vector<std::string> names = {"WAV", "MP3 Lame", "OGG Vorbis"};
    return names;
}

const std::vector<std::string>& BitRateNames() {
    static const std::vector<std::string> names = {"16",  "24",  "32",  "48",  "64",
                                                   "96",  "112", "128", "144", "160",
                                                   "192", "224", "256", "320", "350"};
    return names;
}

const std::vector<std::string>& QualityNames() {
    static const std::vector<std::string> names = {base::Cp("Низкое"), base::Cp("Нормальное"),
                                                   base::Cp("Высокое")};
    return names;
}

std::optional<std::string> ComposeEncoderParams(int converter, const std::string& bitRate,
                                                int quality) {
    switch (converter) {
    case 1: {
        static const char* const switches[] = {"-f", "", "-h"};
        const char* q = quality >= 0 && quality <= 2 ? switches[quality] : "";
        return "-b" + bitRate + " " + q;
    }
    case 2:
        return "-" + bitRate;
    default:
        return std::nullopt;
    }
}

std::string ListeningTimeText(const std::string& digits) {
    int chars = 0;
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), chars);
    if (ec != std::errc() || ptr != digits.data() + digits.size())
        chars = 0;
    int minutes = chars / 720;
    if (minutes >= 45000 || minutes < 0)
        minutes = 0;
    return "~" + std::to_string(minutes) + base::Cp(" мин. звучания");
}

void CorrectForDialog(base::Options& o) {
    if (o.BytesInBlock >= 1 && o.BytesInBlock <= 499)
        o.BytesInBlock = 500;
    if (o.BytesInFrag == 1)
        o.BytesInFrag = 2;
    if (o.Deep < 1)
        o.Deep = 1;
    if (o.Deep > tools::kMaxFreshEyeDeep)
        o.Deep = tools::kMaxFreshEyeDeep;
    if (o.Similarity < 1)
        o.Similarity = 1;
    if (o.Similarity > 100)
        o.Similarity = 100;
    if (o.AutoRepeat < 1)
        o.AutoRepeat = 1;
    if (o.AutoRepeat > 10)
        o.AutoRepeat = 10;
}

bool IsNumberFieldChar(char c) {
    return (c >= '0' && c <= '9') || c == '\b';
}

} // namespace vocalix::shell
