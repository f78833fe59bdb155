#pragma once

#include <QAbstractNativeEventFilter>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vocalix::shell {

// Modifier bits of a hot key, as the settings write them.
constexpr int kModAlt = 1;
constexpr int kModCtrl = 2;
constexpr int kModShift = 4;

// Modifier bits named in a key name such as "Ctrl+Shift+F5" (case does not matter).
int HotKeyModifiers(std::string_view name);
// Virtual key code of a key name: F1..F12 give 112..123, "SPACE" 32, a single digit or Latin
// letter its upper-case character code; anything else (including "<нет>") 0.
int HotKeyVirtualKey(std::string_view name);

// Keys that work while another program has the focus. On X11 each key is grabbed on the root
// window (with every NumLock/CapsLock state); without an X connection (offscreen, Wayland)
// registration fails quietly. A refused or unknown combination never fires.
class GlobalHotKeys : public QAbstractNativeEventFilter {
public:
    GlobalHotKeys();
    ~GlobalHotKeys() override;
    GlobalHotKeys(const GlobalHotKeys&) = delete;
    GlobalHotKeys& operator=(const GlobalHotKeys&) = delete;

    // Registers key `id` (replacing an earlier one with that id). Modifiers are the bits above,
    // the key a virtual key code (107 numeric-pad plus, 187 plus/equals, 112..123 F1..F12,
    // 32 space, '0'..'9', 'A'..'Z'). Returns false when the key cannot be registered.
    bool Register(int id, int modifiers, int virtualKey, std::function<void()> callback);
    // The same for a key name (HotKeyModifiers/HotKeyVirtualKey); "<нет>" registers nothing.
    bool RegisterByName(int id, std::string_view name, std::function<void()> callback);
    void Unregister(int id);
    void UnregisterAll();
    bool IsRegistered(int id) const { return m_keys.count(id) != 0; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Key {
        int modifiers = 0;
        int virtualKey = 0;
        unsigned keycode = 0;
        unsigned xmods = 0;
        std::function<void()> callback;
    };
    void Ungrab(const Key& key);

    std::map<int, Key> m_keys;
    bool m_installed = false;
};

} // namespace vocalix::shell
