// Speech engines, voices and reading aloud.
// Handlers not built yet do nothing.
#include "shell/TForm1.h"

namespace vocalix::shell {

void TForm1::GetSAPI() {}
void TForm1::VoicesListCreate() {}
void TForm1::ComboBox1Change() {}
void TForm1::ClearReadingState() {}
void TForm1::ReleaseSpeech() {}
bool TForm1::EngineUsable() const {
    return false;
}
bool TForm1::IsReading() const {
    return false;
}
bool TForm1::IsPaused() const {
    return false;
}
void TForm1::ASpeakExecute() {}
void TForm1::APauseExecute() {}
void TForm1::AStopExecute() {}
void TForm1::ASelSpeakExecute() {}
void TForm1::ACBSpeakExecute() {}
void TForm1::ASAPIExecute() {}
void TForm1::TimerNextFragmentTimer() {}

} // namespace vocalix::shell
