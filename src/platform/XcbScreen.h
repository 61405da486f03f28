#pragma once

#include <QByteArray>

#include <xcb/xcb.h>

#include <optional>

// A connection of one's own to an X server and the root window of its default screen, for
// the parts that talk to X directly (the tray selection watch, the global shortcut's grab,
// the keyboard layout names). The caller owns the connection and disconnects it.
struct XcbScreen
{
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = 0;
    int number = 0;

    // Connects to display (DISPLAY when empty) and finds its default screen. Nothing when
    // there is no display, the connection fails or the screen is missing; a failed
    // connection is closed.
    static std::optional<XcbScreen> open(const QByteArray& display = {});
};
