#include "speech/AudioLists.h"

namespace vocalix::speech {

std::string GetSpeedList() {
    return "x1\r\nx2\r\nx4\r\nx8\r\nx16\r\nx32\r\nx64\r\nMAX\r\n";
}

std::string GetAudioFormatList() {
    std::string list;
    for (const char* rate : {"8", "11", "12", "16", "22", "24", "32", "44", "48"})
        for (const char* bits : {"8", "16"})
            for (const char* channels : {"Mono", "Stereo"})
                list += std::string("SAFT") + rate + "kHz" + bits + "Bit" + channels + "\r\n";
    return list;
}

} // namespace vocalix::speech
