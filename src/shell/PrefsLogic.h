#pragma once

#include "base/Options.h"

#include <optional>
#include <string>
#include <vector>

// What the preferences dialog computes, apart from its widgets. All text is Windows-1251.
namespace vocalix::shell {

// Items of the hot-key lists cbGKey and cbGKey2: "<нет>", Space, F-keys and letters with
// their modifiers (118 names).
const std::vector<std::string>& HotKeyNames();

// Index of a hot-key name among HotKeyNames(), compared without regard to case; 0 ("<нет>")
// for a name that is not among them, so a hand-edited file never leaves a list empty.
int HotKeyNameIndex(const std::string& name);

// Items of the converter, bit-rate and quality lists.
const std::vector<std::string>& ConverterNames();
const std::vector<std::string>& BitRateNames();
const std::vector<std::string>& QualityNames();

// The encoder parameters for a converter (0 WAV, 1 MP3, 2 OGG), bit-rate text and quality
// index (0 low, 1 normal, 2 high): "-b64 -h" for MP3, "-96" for OGG. WAV has no parameters
// and leaves the field as it is (nullopt).
std::optional<std::string> ComposeEncoderParams(int converter, const std::string& bitRate,
                                                int quality);

// The listening-time estimate of one series part of `digits` characters:
// "~45 мин. звучания" for 32768 (720 characters a minute).
std::string ListeningTimeText(const std::string& digits);

// Values the dialog shows corrected: BytesInBlock 1..499 -> 500, BytesInFrag 1 -> 2,
// Deep 0 -> 1 and above 20 -> 20, Similarity within 1..100, AutoRepeat 0 -> 1 and above
// 10 -> 10 (a negative Deep or AutoRepeat, only possible by hand, counts as 0).
void CorrectForDialog(base::Options& options);

// Whether a typed character may reach a number field: digits and backspace only.
bool IsNumberFieldChar(char c);

} // namespace vocalix::shell
