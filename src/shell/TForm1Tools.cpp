// Editing and analysis tools, the magnifier and typing assistance.
// Handlers not built yet do nothing.
#include "shell/TForm1.h"

namespace vocalix::shell {

void TForm1::AParagExecute() {}
void TForm1::AFontExecute() {}
void TForm1::AFindExecute() {}
void TForm1::AReplaceExecute() {}
void TForm1::ADeleBreaksExecute() {}
void TForm1::ABackGroundExecute() {}
void TForm1::AWrapTextExecute() {}
void TForm1::AZoomExecute() {}
void TForm1::AUpperCaseExecute() {}
void TForm1::ALowerCaseExecute() {}
void TForm1::ANumToPhraseExecute() {}
void TForm1::AColumnTextExecute() {}
void TForm1::AColumnText2Execute() {}
void TForm1::AColumnText3Execute() {}
void TForm1::ATabToSpaceExecute() {}
void TForm1::ANbspToSpaceExecute() {}
void TForm1::AParagToLineExecute() {}
void TForm1::AQuotesSimpleExecute() {}
void TForm1::ATireToMinusExecute() {}
void TForm1::AMtSimpleExecute() {}
void TForm1::AMoveRightExecute() {}
void TForm1::AMoveLeftExecute() {}
void TForm1::ADeleSpacesExecute() {}
void TForm1::ADeleEmptyLinesExecute() {}
void TForm1::ASortTextExecute() {}
void TForm1::CreateZoom() {}
void TForm1::RichEditKeyPress(char& /*key*/) {}
void TForm1::ResetTypingWord() {}

} // namespace vocalix::shell
