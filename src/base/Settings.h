#pragma once

#include "base/IniFile.h"
#include "base/Options.h"

#include <array>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace vocalix::base {

constexpr int kPageCount = 10;

// What the settings file keeps of one editor page (FileName N, CharPos N, PicNumber N,
// BookMarks N of section Text).
struct PageSettings {
    std::string FileName;
    int CharPos = 0;
    int PicNumber = 0;
    std::string BookMarks;
};
using PagesSettings = std::array<PageSettings, kPageCount>;

// Which start-up routine reads a key: GetOtherPrefs (also re-run after the preferences
// dialog), GetSAPI, or GetGeneralPrefs.
enum class SettingsGroup { Other, Sapi, General };

// One option key of "$.ini" and the member of Options that holds it.
struct SettingsKey {
    const char* section;
    const char* key;
    std::variant<int Options::*, bool Options::*, std::string Options::*> member;
    SettingsGroup group;
};

// Every option key, in the order in which SavePrefs writes them; the four keys of each page
// are written right after Audio/XNumber (kPageKeysAfter is that key's index).
const std::vector<SettingsKey>& SettingsKeys();
constexpr size_t kPageKeysAfter = 4;

// The settings file inside the program folder.
std::filesystem::path SettingsPath(const std::filesystem::path& programDir);

// Reads the keys of one group into `options`; a missing key or an invalid number gives the
// first-start default. Audio/XNumber defaults to 18 with SAPI 5 and 7 otherwise, so read the
// Sapi group before the General one.
void ReadSettingsGroup(const IniFile& ini, SettingsGroup group, Options& options);

// The three groups in start-up order (Other, Sapi, General): what a program without a window
// needs to see the same option values as the window program.
Options ReadAllOptions(const IniFile& ini);

PageSettings ReadPageSettings(const IniFile& ini, int page); // page 1 ... 10
void WritePageSettings(IniFile& ini, int page, const PageSettings& settings);

// Writes one option key, found in the key table by the member that holds it, so that a key
// cannot be written under a wrong section or name. Text is written as given (the preferences
// dialog stores what was typed; reading turns a bad number into the default).
void WriteOption(IniFile& ini, int Options::*member, int value);
void WriteOption(IniFile& ini, bool Options::*member, bool value);
void WriteOptionText(IniFile& ini, int Options::*member, const std::string& text);
void WriteOptionText(IniFile& ini, std::string Options::*member, const std::string& text);

// Writes every option key and the ten pages' keys in SavePrefs's order.
void WriteAllSettings(IniFile& ini, const Options& options, const PagesSettings& pages);

// PicMargin kept between 100 and the main window's client width minus 146 (the width wins
// when the window is narrower than that).
int BoundPicMargin(int value, int clientWidth);

} // namespace vocalix::base
