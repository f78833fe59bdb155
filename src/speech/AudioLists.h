#pragma once

#include <string>

// The texts of the second list on the speech toolbar (cbX), one entry per CR LF line.
namespace vocalix::speech {

// SAPI 4 recording speeds "x1" ... "x64", "MAX": entry i sets the real-time factor 256 << i,
// the last one 65535.
std::string GetSpeedList();

// SAPI 5 audio formats "SAFT8kHz8BitMono" ... "SAFT48kHz16BitStereo": entry i is format
// type i + 4.
std::string GetAudioFormatList();

} // namespace vocalix::speech
