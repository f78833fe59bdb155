#include "base/Settings.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace vocalix::base {
namespace {

using G = SettingsGroup;
using O = Options;

const std::vector<SettingsKey> kKeys = {
    {"SpeechEngine", "Number", &O::Number, G::General},
    {"SpeechEngine", "Speed", &O::Speed, G::General},
    {"SpeechEngine", "Pitch", &O::Pitch, G::General},
    {"SpeechEngine", "Dictionary", &O::Dictionary, G::General},
    {"Audio", "XNumber", &O::XNumber, G::General},
    // FileName N, CharPos N, PicNumber N, BookMarks N for the ten pages come here.
    {"Text", "PicMargin", &O::PicMargin, G::Other},
    {"Text", "WordWrap", &O::WordWrap, G::General},
    {"Text", "AutoCap", &O::AutoCap, G::Other},
    {"Text", "AutoRepl", &O::AutoRepl, G::Other},
    {"Text", "AutoParag", &O::AutoParag, G::Other},
    {"Text", "AutoAloud", &O::AutoAloud, G::Other},
    {"Text", "AutoAloudP", &O::AutoAloudP, G::Other},
    {"Text", "AutoAloudA", &O::AutoAloudA, G::Other},
    {"Text", "AutoRepeat", &O::AutoRepeat, G::Other},
    {"Text", "PicImport", &O::PicImport, G::Other},
    {"Text", "Scale", &O::Scale, G::Other},
    {"Text", "ActivePageIndex", &O::ActivePageIndex, G::General},
    {"Form", "LeftCorner", &O::LeftCorner, G::General},
    {"Form", "TopCorner", &O::TopCorner, G::General},
    {"Form", "Width", &O::Width, G::General},
    {"Form", "Height", &O::Height, G::General},
    {"AudioConverter", "ACNumber", &O::ACNumber, G::Other},
    {"AudioConverter", "BRNumber", &O::BRNumber, G::Other},
    {"AudioConverter", "QNumber", &O::QNumber, G::Other},
    {"AudioConverter", "AllParam", &O::AllParam, G::Other},
    {"AudioConverter", "ConverterMinimize", &O::ConverterMinimize, G::Other},
    {"AudioConverter", "AudioFromTop", &O::AudioFromTop, G::Other},
    {"Series", "AudioSplit", &O::AudioSplit, G::Other},
    {"LitText", "Parag", &O::Parag, G::Other},
    {"LitText", "MaxLen", &O::MaxLen, G::Other},
    {"LitText", "MaxHugeLen", &O::MaxHugeLen, G::Other},
    {"LitText", "RightJustify", &O::RightJustify, G::Other},
    {"Series", "BytesInBlock", &O::BytesInBlock, G::Other},
    {"Series", "ChapHeadSencitive", &O::ChapHeadSencitive, G::Other},
    {"Series", "Header", &O::Header, G::Other},
    {"SAPI", "SAPI5", &O::SAPI5, G::Sapi},
    {"FreshEye", "Deep", &O::Deep, G::Other},
    {"FreshEye", "Similarity", &O::Similarity, G::Other},
    {"Others", "BytesInFrag", &O::BytesInFrag, G::Other},
    {"Others", "IgnoreRules", &O::IgnoreRules, G::Other},
    {"Others", "IgnorePrev", &O::IgnorePrev, G::Other},
    {"Others", "IsXML", &O::IsXML, G::Other},
    {"Others", "GKName", &O::GKName, G::Other},
    {"Others", "GKName2", &O::GKName2, G::Other},
    {"Others", "HandPointCursor", &O::HandPointCursor, G::Other},
    {"Font", "Name", &O::FontName, G::General},
    {"Font", "Size", &O::FontSize, G::General},
    {"Font", "CharSet", &O::FontCharSet, G::General},
    {"Font", "Color", &O::FontColor, G::General},
    {"Font", "Style", &O::FontStyle, G::General},
    {"Background", "Color", &O::BackgroundColor, G::General},
    {"Extra", "Subtitles", &O::Subtitles, G::Other},
    {"Extra", "Workers", &O::Workers, G::Other},
};

std::string PageKey(const char* name, int page) {
    return name + std::to_string(page);
}

template <class Member> const SettingsKey& KeyOf(Member member) {
    for (const SettingsKey& k : kKeys)
        if (const Member* m = std::get_if<Member>(&k.member); m && *m == member)
            return k;
    throw std::logic_error("option without a settings key");
}

} // namespace

const std::vector<SettingsKey>& SettingsKeys() {
    return kKeys;
}

std::filesystem::path SettingsPath(const std::filesystem::path& programDir) {
    return programDir / "$.ini";
}

void ReadSettingsGroup(const IniFile& ini, SettingsGroup group, Options& options) {
    static const Options defaults;
    for (const SettingsKey& k : kKeys) {
        if (k.group != group)
            continue;
        if (auto m = std::get_if<int Options::*>(&k.member)) {
            int def = defaults.*(*m);
            if (*m == &Options::XNumber)
                def = options.SAPI5 ? 18 : 7;
            options.*(*m) = ini.ReadInteger(k.section, k.key, def);
        } else if (auto b = std::get_if<bool Options::*>(&k.member)) {
            options.*(*b) = ini.ReadBool(k.section, k.key, defaults.*(*b));
        } else if (auto s = std::get_if<std::string Options::*>(&k.member)) {
            options.*(*s) = ini.ReadString(k.section, k.key, defaults.*(*s));
        }
    }
    // The converter list has no negative entries; such a value means "the usual one".
    if (group == SettingsGroup::Other && options.ACNumber < 0)
        options.ACNumber = 1;
}

Options ReadAllOptions(const IniFile& ini) {
    Options options;
    ReadSettingsGroup(ini, SettingsGroup::Other, options);
    ReadSettingsGroup(ini, SettingsGroup::Sapi, options);
    ReadSettingsGroup(ini, SettingsGroup::General, options);
    return options;
}

PageSettings ReadPageSettings(const IniFile& ini, int page) {
    PageSettings p;
    p.FileName = ini.ReadString("Text", PageKey("FileName", page), "");
    p.CharPos = ini.ReadInteger("Text", PageKey("CharPos", page), 0);
    p.PicNumber = ini.ReadInteger("Text", PageKey("PicNumber", page), 0);
    p.BookMarks = ini.ReadString("Text", PageKey("BookMarks", page), "");
    return p;
}

void WritePageSettings(IniFile& ini, int page, const PageSettings& settings) {
    ini.WriteString("Text", PageKey("FileName", page), settings.FileName);
    ini.WriteInteger("Text", PageKey("CharPos", page), settings.CharPos);
    ini.WriteInteger("Text", PageKey("PicNumber", page), settings.PicNumber);
    ini.WriteString("Text", PageKey("BookMarks", page), settings.BookMarks);
}

void WriteOption(IniFile& ini, int Options::*member, int value) {
    const SettingsKey& k = KeyOf(member);
    ini.WriteInteger(k.section, k.key, value);
}

void WriteOption(IniFile& ini, bool Options::*member, bool value) {
    const SettingsKey& k = KeyOf(member);
    ini.WriteBool(k.section, k.key, value);
}

void WriteOptionText(IniFile& ini, int Options::*member, const std::string& text) {
    const SettingsKey& k = KeyOf(member);
    ini.WriteString(k.section, k.key, text);
}

void WriteOptionText(IniFile& ini, std::string Options::*member, const std::string& text) {
    const SettingsKey& k = KeyOf(member);
    ini.WriteString(k.section, k.key, text);
}

void WriteAllSettings(IniFile& ini, const Options& options, const PagesSettings& pages) {
    for (size_t i = 0; i < kKeys.size(); ++i) {
        const SettingsKey& k = kKeys[i];
        if (auto m = std::get_if<int Options::*>(&k.member))
            ini.WriteInteger(k.section, k.key, options.*(*m));
        else if (auto b = std::get_if<bool Options::*>(&k.member))
            ini.WriteBool(k.section, k.key, options.*(*b));
        else if (auto s = std::get_if<std::string Options::*>(&k.member))
            ini.WriteString(k.section, k.key, options.*(*s));
        if (i == kPageKeysAfter)
            for (int page = 1; page <= kPageCount; ++page)
                WritePageSettings(ini, page, pages[static_cast<size_t>(page - 1)]);
    }
}

int BoundPicMargin(int value, int clientWidth) {
    if (value < 100)
        value = 100;
    if (value > clientWidth - 146)
        value = clientWidth - 146;
    // A window narrower than the picture area itself must not give a negative offset.
    return std::max(value, 0);
}

} // namespace vocalix::base
