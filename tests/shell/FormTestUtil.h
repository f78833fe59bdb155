#pragma once

#include "shell/TForm1.h"

namespace vocalix::shell::testing {

// Marks every page saved, so that closing a window a test made asks nothing.
inline void ForgetPageChanges(TForm1& form) {
    for (int page = 1; page <= TForm1::kPages; ++page) {
        form.PageModified[page] = false;
        form.RichEdit[page]->SetModified(false);
    }
}

} // namespace vocalix::shell::testing
