// Settings, profiles, the preferences dialog, recent files and bookmarks.
// Handlers not built yet do nothing.
#include "shell/TForm1.h"

namespace vocalix::shell {

void TForm1::GetOtherPrefs() {}
void TForm1::GetGeneralPrefs() {}
void TForm1::SavePrefs() {}
void TForm1::RegisterUserHotKeys() {}
void TForm1::RecentLoad() {}
void TForm1::RecentChange(const std::string& /*fileName*/) {}
void TForm1::RecentSave() {}
void TForm1::RecentClick(const std::string& /*fileName*/) {}
void TForm1::ASetPrefsExecute() {}
void TForm1::AProfileSaveExecute() {}
void TForm1::AProfileLoadExecute() {}
void TForm1::AProfileDefaultExecute() {}
void TForm1::AZakAddExecute() {}
void TForm1::AZakGoExecute() {}
void TForm1::CreatePrefsBox() {}
void TForm1::CreateZakBox() {}

} // namespace vocalix::shell
