// The keyboard switch of the find and replace commands. Xlib comes after every Qt header:
// its macros (None, Bool, Status) clash with Qt names.
#include "shell/FindReplaceDialog.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <cstring>

namespace vocalix::shell {

bool SwitchKeyboardToRussian() {
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = app ? app->display() : nullptr;
    if (!display)
        return false;
    // XkbGetKeyboard asks for a whole named keymap, which servers refuse; the group names
    // alone come from XkbGetNames.
    XkbDescPtr keyboard = XkbAllocKeyboard();
    if (!keyboard)
        return false;
    int russian = -1;
    if (XkbGetNames(display, XkbGroupNamesMask, keyboard) == Success && keyboard->names) {
        for (int group = 0; group < XkbNumKbdGroups && russian < 0; ++group) {
            const Atom atom = keyboard->names->groups[group];
            if (atom == 0)
                continue;
            char* name = XGetAtomName(display, atom);
            if (name && std::strstr(name, "Russian"))
                russian = group;
            if (name)
                XFree(name);
        }
    }
    XkbFreeKeyboard(keyboard, 0, True);
    if (russian < 0)
        return false;
    XkbLockGroup(display, XkbUseCoreKbd, static_cast<unsigned>(russian));
    XFlush(display);
    return true;
}

} // namespace vocalix::shell
