#include "cli/Cli.h"

#include "base/Cp1251.h"
#include "speech/Sapi4.h"
#include "speech/Sapi5.h"

#include <ostream>

namespace vocalix::cli {

// One voice per line for each engine generation, with the index that SpeechEngine/Number
// takes when that generation (SAPI/SAPI5) is chosen.
int CmdVoices(CliContext& ctx) {
    if (!ctx.args.empty())
        throw CliError{"voices не принимает аргументов"};
    auto engine = speech::DefaultEngine();
    if (!engine->Available())
        throw CliError{"речевой движок не запускается (нет данных eSpeak NG?)"};
    speech::SpVoice voice(engine);
    const auto tokens = voice.GetVoices();
    for (size_t i = 0; i < tokens.size(); ++i)
        *ctx.out << "SAPI5 " << i << " " << base::Cp1251ToUtf8(tokens[i]->GetDescription(0))
                 << "\n";
    auto enumerator = speech::CreateTTSEnum(engine);
    if (enumerator) {
        enumerator->Reset();
        speech::TTSMODEINFO mode;
        uint32_t fetched = 0;
        for (int i = 0; enumerator->Next(1, &mode, &fetched) == speech::S_OK && fetched == 1; ++i)
            *ctx.out << "SAPI4 " << i << " " << base::Cp1251ToUtf8(mode.szModeName) << "\n";
    }
    ctx.out->flush();
    return kExitOk;
}

} // namespace vocalix::cli
