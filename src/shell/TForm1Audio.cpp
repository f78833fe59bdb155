// Recording to audio files, series and batch recording.
// Handlers not built yet do nothing.
#include "shell/TForm1.h"

namespace vocalix::shell {

bool TForm1::IsRecording() const {
    return false;
}
std::string TForm1::RecordingFileTitle() const {
    return {};
}
void TForm1::AMP3Execute() {}
void TForm1::ASeriesExecute() {}
void TForm1::ABatchExecute() {}

} // namespace vocalix::shell
