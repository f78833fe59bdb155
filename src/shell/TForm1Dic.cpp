// The dictionary panel.
// Handlers not built yet do nothing.
#include "shell/TForm1.h"

namespace vocalix::shell {

void TForm1::ADicExecute() {}
void TForm1::AEditDicExecute() {}
void TForm1::SetChecks() {}
std::string TForm1::CheckedItemsToStr() const {
    return {};
}

} // namespace vocalix::shell
