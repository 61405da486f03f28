#pragma once

#include "platform/GlobalShortcutBackend.h"

#include <QByteArray>
#include <QList>

#include <cstdint>

class QSocketNotifier;
struct xcb_connection_t;

// A passive key grab on the X11 root window, on a connection of its own: the X server
// sends the chord's key presses here whatever window has the focus. The grab is made for
// each keycode of the key's keysym and again with Caps Lock and Num Lock on, which X
// otherwise counts as modifiers. A chord that another program grabbed already fails with
// that reason. Events are read when the socket becomes readable: no timer.
class X11GlobalShortcut : public GlobalShortcutBackend
{
    Q_OBJECT
public:
    // display: an X display name; empty means $DISPLAY.
    explicit X11GlobalShortcut(const QByteArray& display = {}, QObject* parent = nullptr);
    ~X11GlobalShortcut() override;

    // Whether an X server answered.
    bool isConnected() const { return m_connection != nullptr; }

    void bind(const GlobalHotkey& hotkey) override;
    void unbind() override;

private:
    struct Grab
    {
        std::uint8_t keycode;
        std::uint16_t modifiers;
    };

    void readEvents();
    QString grabAll(const GlobalHotkey& hotkey);

    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
    QSocketNotifier* m_notifier = nullptr;
    QList<Grab> m_grabs;
};
