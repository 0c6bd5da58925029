#include "platform/GlobalKeyPlatform.h"

#include <QMetaObject>

#include <xcb/xcb.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include <poll.h>
#include <unistd.h>

namespace {

constexpr uint16_t kShift = XCB_MOD_MASK_SHIFT;
constexpr uint16_t kCapsLock = XCB_MOD_MASK_LOCK;
constexpr uint16_t kControl = XCB_MOD_MASK_CONTROL;
constexpr uint16_t kAlt = XCB_MOD_MASK_1;
constexpr uint16_t kNumLock = XCB_MOD_MASK_2;
constexpr uint16_t kMeta = XCB_MOD_MASK_4;
// The key counts whether these locks are on or off, so each way is grabbed.
constexpr uint16_t kLockVariants[] = {0, kCapsLock, kNumLock, kCapsLock | kNumLock};

using GlobalKeyPlatform::KeyCode;
using GlobalKeyPlatform::ModifierCode;

const KeyCode kNamedKeys[] = {
    {Qt::Key_Escape, 0xff1b}, {Qt::Key_Tab, 0xff09},      {Qt::Key_Backspace, 0xff08},
    {Qt::Key_Return, 0xff0d}, {Qt::Key_Enter, 0xff8d},    {Qt::Key_Insert, 0xff63},
    {Qt::Key_Delete, 0xffff}, {Qt::Key_Pause, 0xff13},    {Qt::Key_Print, 0xff61},
    {Qt::Key_Home, 0xff50},   {Qt::Key_End, 0xff57},      {Qt::Key_Left, 0xff51},
    {Qt::Key_Up, 0xff52},     {Qt::Key_Right, 0xff53},    {Qt::Key_Down, 0xff54},
    {Qt::Key_PageUp, 0xff55}, {Qt::Key_PageDown, 0xff56}, {Qt::Key_Space, 0x20},
};

// Printable keys are their Latin-1 code, letters in lower case; zero for a
// key with no symbol here.
xcb_keysym_t keySymFor(Qt::Key key)
{
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return 0xffbe + (key - Qt::Key_F1);
    if (const unsigned sym = GlobalKeyPlatform::codeOf(key, kNamedKeys))
        return sym;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return xcb_keysym_t(key - Qt::Key_A + 'a');
    if (key > 0x20 && key < 0x7f)
        return xcb_keysym_t(key);
    return 0;
}

const ModifierCode kModifiers[] = {
    {Qt::ShiftModifier, kShift},
    {Qt::ControlModifier, kControl},
    {Qt::AltModifier, kAlt},
    {Qt::MetaModifier, kMeta},
};

// The server holds the keyboard after the key went down until the
// listening thread has given the window the focus, so that what is typed
// next reaches the window however busy the program is; the thread never
// waits for the rest of the program.
class X11GlobalKey final : public GlobalKey
{
public:
    X11GlobalKey() = default;
    ~X11GlobalKey() override
    {
        stopListening();
        if (m_connection)
            xcb_disconnect(m_connection);
    }

protected:
    State grab(QKeyCombination key, quintptr window) override
    {
        if (!connect())
            return State::Unavailable;
        const xcb_keycode_t code = keyCodeFor(keySymFor(key.key()));
        if (code == 0)
            return State::Unusable;
        const auto modifiers = uint16_t(GlobalKeyPlatform::modifierCodes(key.keyboardModifiers(), kModifiers));
        for (const uint16_t locks : kLockVariants) {
            const xcb_void_cookie_t cookie =
                xcb_grab_key_checked(m_connection, 1, m_root, modifiers | locks, code,
                                     XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_SYNC);
            if (std::unique_ptr<xcb_generic_error_t, decltype(&free)> error{xcb_request_check(m_connection, cookie),
                                                                             &free}) {
                release(code, modifiers);
                return error->error_code == XCB_ACCESS ? State::Taken : State::Unavailable;
            }
        }
        m_code = code;
        m_modifiers = modifiers;
        m_window = xcb_window_t(window);
        // A held keyboard that nobody lets go would stop all typing.
        if (!startListening()) {
            release();
            return State::Unavailable;
        }
        return State::On;
    }

    void release() override
    {
        stopListening();
        if (m_code != 0)
            release(m_code, m_modifiers);
        m_code = 0;
    }

private:
    bool connect()
    {
        if (m_connection)
            return true;
        int screenNumber = 0;
        xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(connection)) {
            xcb_disconnect(connection);
            return false;
        }
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
        for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
            xcb_screen_next(&screens);
        m_root = screens.data->root;
        m_connection = connection;
        return true;
    }

    xcb_keycode_t keyCodeFor(xcb_keysym_t sym) const
    {
        if (sym == 0)
            return 0;
        const xcb_setup_t *setup = xcb_get_setup(m_connection);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&free)> mapping{
            xcb_get_keyboard_mapping_reply(
                m_connection, xcb_get_keyboard_mapping(m_connection, setup->min_keycode, uint8_t(count)), nullptr),
            &free};
        if (!mapping)
            return 0;
        const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(mapping.get());
        const int perCode = mapping->keysyms_per_keycode;
        for (int code = 0; code < count; ++code) {
            for (int column = 0; column < perCode; ++column) {
                if (syms[code * perCode + column] == sym)
                    return xcb_keycode_t(setup->min_keycode + code);
            }
        }
        return 0;
    }

    void release(xcb_keycode_t code, uint16_t modifiers)
    {
        for (const uint16_t locks : kLockVariants)
            xcb_ungrab_key(m_connection, code, m_root, modifiers | locks);
        xcb_flush(m_connection);
    }

    bool startListening()
    {
        if (pipe(m_wake) != 0) {
            m_wake[0] = m_wake[1] = -1;
            return false;
        }
        m_listener = std::thread([this] { listen(); });
        return true;
    }

    void stopListening()
    {
        if (!m_listener.joinable())
            return;
        const char stop = 0;
        [[maybe_unused]] const ssize_t written = write(m_wake[1], &stop, 1);
        m_listener.join();
        close(m_wake[0]);
        close(m_wake[1]);
        m_wake[0] = m_wake[1] = -1;
    }

    void listen()
    {
        pollfd watched[] = {{xcb_get_file_descriptor(m_connection), POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        for (;;) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
                const uint8_t type = event->response_type & 0x7f;
                if (type == XCB_KEY_PRESS)
                    keyWentDown(*reinterpret_cast<xcb_key_press_event_t *>(event));
                else if (type == XCB_KEY_RELEASE)
                    m_lastRelease = reinterpret_cast<xcb_key_release_event_t *>(event)->time;
                free(event);
            }
            if (xcb_connection_has_error(m_connection))
                return;
            if (poll(watched, 2, -1) < 0 || (watched[1].revents & POLLIN))
                return;
        }
    }

    void keyWentDown(const xcb_key_press_event_t &event)
    {
        // A key held down repeats as a release and a press at one moment.
        const bool repeated = event.time == m_lastRelease;
        const bool ours =
            !repeated && event.detail == m_code && (event.state & ~(kCapsLock | kNumLock)) == m_modifiers;
        const bool hadKeyboard = ours && windowHasFocus();
        // Told before the focus moves: the window's own handling of the
        // focus and of what is typed then comes after it.
        if (ours)
            QMetaObject::invokeMethod(this, [this, hadKeyboard] { emit pressed(hadKeyboard); }, Qt::QueuedConnection);
        if (ours && !hadKeyboard)
            xcb_set_input_focus(m_connection, XCB_INPUT_FOCUS_PARENT, m_window, event.time);
        xcb_allow_events(m_connection, XCB_ALLOW_ASYNC_KEYBOARD, event.time);
        xcb_flush(m_connection);
    }

    bool windowHasFocus() const
    {
        std::unique_ptr<xcb_get_input_focus_reply_t, decltype(&free)> focus{
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr), &free};
        return focus && focus->focus == m_window;
    }

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    xcb_keycode_t m_code = 0;
    uint16_t m_modifiers = 0;
    xcb_window_t m_window = 0;
    xcb_timestamp_t m_lastRelease = 0;
    std::thread m_listener;
    int m_wake[2] = {-1, -1};
};

} // namespace

std::unique_ptr<GlobalKey> GlobalKeyPlatform::make()
{
    return std::make_unique<X11GlobalKey>();
}
