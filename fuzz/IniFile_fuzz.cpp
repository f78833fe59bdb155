// The settings file reader on arbitrary bytes: whatever "$.ini" holds, reading the option and
// page keys must not fail, and a file written back must read back the same.
//
// Each input is parsed and written back, then takes one of two halves, chosen by the parity
// of the sum of its bytes (so any input of the working corpus stays what it was, and one
// mutation flips the choice half the time): every key read as text, number and flag; or the
// options and the ten pages' keys read, written back over the file and read again. Writing
// all options back is most of an execution whatever the input, and the key-by-key reading
// exercises nothing of it, so each input pays for one of the two.
#include "base/IniFile.h"
#include "base/Settings.h"

#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <string_view>

using namespace vocalix::base;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IniFile ini;
    ini.Parse(std::string_view(reinterpret_cast<const char*>(data), size));

    const std::string written = ini.Serialize();
    IniFile again;
    again.Parse(written);
    if (again.Serialize() != written)
        std::abort();

    if (std::accumulate(data, data + size, 0u) % 2 == 0) {
        for (const std::string& section : ini.Sections())
            for (const std::string& key : ini.Keys(section)) {
                if (!ini.HasKey(section, key))
                    std::abort();
                (void)ini.ReadInteger(section, key, 0);
                (void)ini.ReadBool(section, key, false);
            }
        return 0;
    }

    const Options options = ReadAllOptions(ini);
    PagesSettings pages;
    for (int page = 1; page <= kPageCount; ++page)
        pages[static_cast<size_t>(page - 1)] = ReadPageSettings(ini, page);

    // What the program writes at exit from these values must read back as the same values.
    WriteAllSettings(again, options, pages);
    const std::string rewritten = again.Serialize();
    IniFile third;
    third.Parse(rewritten);
    if (third.Serialize() != rewritten)
        std::abort();
    for (int page = 1; page <= kPageCount; ++page) {
        const PageSettings a = ReadPageSettings(third, page);
        const PageSettings& b = pages[static_cast<size_t>(page - 1)];
        if (a.FileName != b.FileName || a.CharPos != b.CharPos || a.PicNumber != b.PicNumber ||
            a.BookMarks != b.BookMarks)
            std::abort();
    }
    return 0;
}
