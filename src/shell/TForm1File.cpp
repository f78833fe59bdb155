// Documents: opening, creating, saving and printing; office documents; the picture panel.
// Handlers not built yet do nothing.
#include "shell/TForm1.h"

namespace vocalix::shell {

void TForm1::XOpen(const std::string& /*fileName*/) {}
void TForm1::ACreateExecute() {}
void TForm1::AOpenExecute() {}
void TForm1::ASaveExecute() {}
void TForm1::ASaveAsExecute() {}
void TForm1::APrintNPExecute() {}
void TForm1::AMSWordExecute() {}
void TForm1::ABatchTxtExecute() {}
void TForm1::PicShow() {}
void TForm1::APicLargeSmallExecute() {}

} // namespace vocalix::shell
