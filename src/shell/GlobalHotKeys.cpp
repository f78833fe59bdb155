#include "shell/GlobalHotKeys.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <algorithm>
#include <cctype>
#include <xcb/xcb.h>

namespace vocalix::shell {

namespace {

std::string Upper(std::string_view name) {
    std::string s(name);
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

void EraseAll(std::string& s, std::string_view what) {
    for (size_t pos = s.find(what); pos != std::string::npos; pos = s.find(what))
        s.erase(pos, what.size());
}

// X keysym of a virtual key code; 0 for a key we do not map.
unsigned long KeySymOf(int virtualKey) {
    if (virtualKey == 107)
        return XK_KP_Add;
    if (virtualKey == 187)
        return XK_equal;
    if (virtualKey == 32)
        return XK_space;
    if (virtualKey >= 112 && virtualKey <= 123)
        return XK_F1 + static_cast<unsigned long>(virtualKey - 112);
    if (virtualKey >= '0' && virtualKey <= '9')
        return XK_0 + static_cast<unsigned long>(virtualKey - '0');
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return XK_a + static_cast<unsigned long>(virtualKey - 'A');
    return 0;
}

struct X11 {
    Display* display = nullptr;
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = 0;
};

X11 CurrentX11() {
    X11 x;
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!app)
        return x;
    x.display = app->display();
    x.connection = app->connection();
    if (x.display && x.connection)
        x.root = static_cast<xcb_window_t>(DefaultRootWindow(x.display));
    return x;
}

// The lock modifiers do not change what the user means by a key.
constexpr unsigned kLockCombos[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                    XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

} // namespace

int HotKeyModifiers(std::string_view name) {
    const std::string s = Upper(name);
    int mods = 0;
    if (s.find("ALT") != std::string::npos)
        mods += kModAlt;
    if (s.find("CTRL") != std::string::npos)
        mods += kModCtrl;
    if (s.find("SHIFT") != std::string::npos)
        mods += kModShift;
    return mods;
}

int HotKeyVirtualKey(std::string_view name) {
    std::string s = Upper(name);
    EraseAll(s, "ALT");
    EraseAll(s, "CTRL");
    EraseAll(s, "SHIFT");
    EraseAll(s, "+");
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return 0;
    s = s.substr(first, s.find_last_not_of(' ') - first + 1);
    if (s.size() >= 2 && s.size() <= 3 && s[0] == 'F' &&
        std::all_of(s.begin() + 1, s.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const int n = std::stoi(s.substr(1));
        if (n >= 1 && n <= 12)
            return 111 + n;
    }
    if (s == "SPACE")
        return 32;
    if (s.size() == 1 && ((s[0] >= '0' && s[0] <= '9') || (s[0] >= 'A' && s[0] <= 'Z')))
        return s[0];
    return 0;
}

GlobalHotKeys::GlobalHotKeys() = default;

GlobalHotKeys::~GlobalHotKeys() {
    UnregisterAll();
    if (m_installed && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool GlobalHotKeys::Register(int id, int modifiers, int virtualKey,
                             std::function<void()> callback) {
    Unregister(id);
    const unsigned long keysym = KeySymOf(virtualKey);
    const X11 x = CurrentX11();
    if (keysym == 0 || !x.connection)
        return false;
    const KeyCode keycode = XKeysymToKeycode(x.display, keysym);
    if (keycode == 0)
        return false;
    unsigned xmods = 0;
    if (modifiers & kModAlt)
        xmods |= XCB_MOD_MASK_1;
    if (modifiers & kModCtrl)
        xmods |= XCB_MOD_MASK_CONTROL;
    if (modifiers & kModShift)
        xmods |= XCB_MOD_MASK_SHIFT;
    // A combination another program holds is refused as a whole.
    bool refused = false;
    for (unsigned lock : kLockCombos) {
        const auto cookie =
            xcb_grab_key_checked(x.connection, 1, x.root, static_cast<uint16_t>(xmods | lock),
                                 keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t* error = xcb_request_check(x.connection, cookie)) {
            free(error);
            refused = true;
        }
    }
    Key key{modifiers, virtualKey, keycode, xmods, std::move(callback)};
    if (refused) {
        Ungrab(key);
        return false;
    }
    if (!m_installed) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_installed = true;
    }
    m_keys[id] = std::move(key);
    return true;
}

bool GlobalHotKeys::RegisterByName(int id, std::string_view name, std::function<void()> callback) {
    return Register(id, HotKeyModifiers(name), HotKeyVirtualKey(name), std::move(callback));
}

void GlobalHotKeys::Ungrab(const Key& key) {
    const X11 x = CurrentX11();
    if (!x.connection)
        return;
    for (unsigned lock : kLockCombos)
        xcb_ungrab_key(x.connection, static_cast<xcb_keycode_t>(key.keycode), x.root,
                       static_cast<uint16_t>(key.xmods | lock));
    xcb_flush(x.connection);
}

void GlobalHotKeys::Unregister(int id) {
    const auto it = m_keys.find(id);
    if (it == m_keys.end())
        return;
    Ungrab(it->second);
    m_keys.erase(it);
}

void GlobalHotKeys::UnregisterAll() {
    while (!m_keys.empty())
        Unregister(m_keys.begin()->first);
}

bool GlobalHotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || m_keys.empty())
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto* press = static_cast<const xcb_key_press_event_t*>(message);
    const unsigned relevant = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    for (auto& [id, key] : m_keys) {
        if (press->detail == key.keycode && (press->state & relevant) == key.xmods) {
            // The callback may register or unregister keys; work on a copy.
            const auto callback = key.callback;
            if (callback)
                callback();
            return true;
        }
    }
    return false;
}

} // namespace vocalix::shell
