#include "platform/X11GlobalShortcut.h"

#include "platform/XcbScreen.h"

#include <QSocketNotifier>
#include <QTimer>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>

X11GlobalShortcut::X11GlobalShortcut(const QByteArray& display, QObject* parent)
    : GlobalShortcutBackend(parent)
{
    const std::optional<XcbScreen> screen = XcbScreen::open(display);
    if (!screen)
        return;
    m_connection = screen->connection;
    m_root = screen->root;
    m_notifier =
        new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11GlobalShortcut::readEvents);
}

X11GlobalShortcut::~X11GlobalShortcut()
{
    unbind();
    delete m_notifier;
    if (m_connection)
        xcb_disconnect(m_connection);
}

void X11GlobalShortcut::bind(const GlobalHotkey& hotkey)
{
    unbind();
    const QString error = grabAll(hotkey);
    // Answer from the event loop, as the portal does: callers connect after bind().
    QTimer::singleShot(0, this, [this, error, hotkey] {
        if (error.isEmpty())
            emit bound(hotkey.displayText());
        else
            emit failed(error);
    });
}

QString X11GlobalShortcut::grabAll(const GlobalHotkey& hotkey)
{
    if (!m_connection)
        return QStringLiteral("there is no X server to grab the keys on");
    const quint32 keysym = hotkey.keysym();
    if (keysym == 0)
        return QStringLiteral("%1 is not a key X11 can grab").arg(hotkey.displayText());

    std::uint16_t modifiers = 0;
    if (hotkey.modifiers & Qt::ShiftModifier)
        modifiers |= XCB_MOD_MASK_SHIFT;
    if (hotkey.modifiers & Qt::ControlModifier)
        modifiers |= XCB_MOD_MASK_CONTROL;
    if (hotkey.modifiers & Qt::AltModifier)
        modifiers |= XCB_MOD_MASK_1;
    if (hotkey.modifiers & Qt::MetaModifier)
        modifiers |= XCB_MOD_MASK_4;

    QList<std::uint8_t> keycodes;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(m_connection);
    if (xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym)) {
        for (xcb_keycode_t* code = codes; *code != XCB_NO_SYMBOL; ++code)
            if (!keycodes.contains(*code))
                keycodes.append(*code);
        std::free(codes);
    }
    xcb_key_symbols_free(symbols);
    if (keycodes.isEmpty())
        return QStringLiteral("the keyboard layout has no key for %1").arg(hotkey.displayText());

    // Caps Lock (Lock) and Num Lock (Mod2) must not stop the chord from working.
    const std::uint16_t lockMasks[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                       XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
    QList<xcb_void_cookie_t> cookies;
    for (std::uint8_t keycode : keycodes)
        for (std::uint16_t lock : lockMasks) {
            const Grab grab{keycode, std::uint16_t(modifiers | lock)};
            cookies.append(xcb_grab_key_checked(m_connection, 1, m_root, grab.modifiers, keycode,
                                                XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
            m_grabs.append(grab);
        }
    QString failure;
    for (const xcb_void_cookie_t& cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(m_connection, cookie)) {
            if (failure.isEmpty())
                failure = error->error_code == XCB_ACCESS
                              ? QStringLiteral("%1 is already used by another program")
                                    .arg(hotkey.displayText())
                              : QStringLiteral("the X server refused to grab %1 (error %2)")
                                    .arg(hotkey.displayText())
                                    .arg(error->error_code);
            std::free(error);
        }
    }
    if (!failure.isEmpty()) {
        unbind();
        return failure;
    }
    return {};
}

void X11GlobalShortcut::unbind()
{
    if (!m_connection || m_grabs.isEmpty())
        return;
    for (const Grab& grab : std::as_const(m_grabs))
        xcb_ungrab_key(m_connection, grab.keycode, m_root, grab.modifiers);
    m_grabs.clear();
    xcb_flush(m_connection);
}

void X11GlobalShortcut::readEvents()
{
    bool pressed = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        if ((event->response_type & 0x7f) == XCB_KEY_PRESS && !m_grabs.isEmpty())
            pressed = true;
        std::free(event);
    }
    if (xcb_connection_has_error(m_connection))
        m_notifier->setEnabled(false);
    // Several presses read at once (auto-repeat) open the window once.
    if (pressed)
        emit activated();
}
