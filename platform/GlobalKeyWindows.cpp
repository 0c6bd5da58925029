#include "platform/GlobalKeyPlatform.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

namespace {

constexpr int kHotKeyId = 1;

using GlobalKeyPlatform::KeyCode;
using GlobalKeyPlatform::ModifierCode;

const KeyCode kNamedKeys[] = {
    {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_Tab, VK_TAB},       {Qt::Key_Backspace, VK_BACK},
    {Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN},  {Qt::Key_Insert, VK_INSERT},
    {Qt::Key_Delete, VK_DELETE}, {Qt::Key_Pause, VK_PAUSE},   {Qt::Key_Print, VK_SNAPSHOT},
    {Qt::Key_Home, VK_HOME},     {Qt::Key_End, VK_END},       {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP},         {Qt::Key_Right, VK_RIGHT},   {Qt::Key_Down, VK_DOWN},
    {Qt::Key_PageUp, VK_PRIOR},  {Qt::Key_PageDown, VK_NEXT}, {Qt::Key_Space, VK_SPACE},
};

// Letters and digits are their own virtual-key codes; other printable keys
// are asked of the keyboard layout. Zero for a key with no code.
UINT virtualKeyFor(Qt::Key key)
{
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F1 + UINT(key - Qt::Key_F1);
    if (const unsigned code = GlobalKeyPlatform::codeOf(key, kNamedKeys))
        return code;
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return UINT(key);
    if (key > 0x20 && key < 0x7f) {
        const SHORT scan = VkKeyScanW(WCHAR(key));
        return scan == -1 ? 0 : UINT(scan & 0xff);
    }
    return 0;
}

const ModifierCode kModifiers[] = {
    {Qt::ShiftModifier, MOD_SHIFT},
    {Qt::ControlModifier, MOD_CONTROL},
    {Qt::AltModifier, MOD_ALT},
    {Qt::MetaModifier, MOD_WIN},
};

// The hot key's message comes to the window; the system lets the program
// that receives it bring its window to the front.
class WindowsGlobalKey final : public GlobalKey, private QAbstractNativeEventFilter
{
public:
    WindowsGlobalKey() { QCoreApplication::instance()->installNativeEventFilter(this); }
    ~WindowsGlobalKey() override
    {
        release();
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }

protected:
    State grab(QKeyCombination key, quintptr window) override
    {
        const UINT code = virtualKeyFor(key.key());
        if (code == 0)
            return State::Unusable;
        const HWND handle = reinterpret_cast<HWND>(window);
        const UINT modifiers = MOD_NOREPEAT | GlobalKeyPlatform::modifierCodes(key.keyboardModifiers(), kModifiers);
        if (!RegisterHotKey(handle, kHotKeyId, modifiers, code))
            return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED ? State::Taken : State::Unavailable;
        m_window = handle;
        return State::On;
    }

    void release() override
    {
        if (m_window)
            UnregisterHotKey(m_window, kHotKeyId);
        m_window = nullptr;
    }

private:
    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->message != WM_HOTKEY || msg->hwnd != m_window || msg->wParam != kHotKeyId)
            return false;
        emit pressed(GetForegroundWindow() == m_window);
        return true;
    }

    HWND m_window = nullptr;
};

} // namespace

std::unique_ptr<GlobalKey> GlobalKeyPlatform::make()
{
    return std::make_unique<WindowsGlobalKey>();
}
