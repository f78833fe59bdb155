// Reports of the correction rules and the spelling check.
// Handlers not built yet do nothing.
#include "shell/TForm1.h"

namespace vocalix::shell {

void TForm1::AChangeTextExecute() {}
void TForm1::ARulesToTextExecute() {}
void TForm1::AChangeTextFullExecute() {}
void TForm1::ARulesFullExecute() {}
void TForm1::AOrfoExecute() {}
void TForm1::AOrfoAddExecute() {}
void TForm1::AOrfoDelExecute() {}

} // namespace vocalix::shell
