// Editing and analysis tools, the magnifier and typing assistance.
// Handlers not built yet do nothing.
#include "shell/TForm1.h"

namespace vocalix::shell {

void TForm1::ANamesExecute() {}
void TForm1::AFMinusExecute() {}
void TForm1::AFMutualExecute() {}
void TForm1::AFUnionExecute() {}
void TForm1::AHuntExecute() {}
void TForm1::AFreshEyeExecute() {}
void TForm1::ATxtPropExecute() {}

} // namespace vocalix::shell
