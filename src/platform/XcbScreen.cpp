#include "platform/XcbScreen.h"

std::optional<XcbScreen> XcbScreen::open(const QByteArray& display)
{
    const QByteArray name = display.isEmpty() ? qgetenv("DISPLAY") : display;
    if (name.isEmpty())
        return std::nullopt;
    XcbScreen screen;
    screen.connection = xcb_connect(name.constData(), &screen.number);
    if (xcb_connection_has_error(screen.connection)) {
        xcb_disconnect(screen.connection);
        return std::nullopt;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(screen.connection));
    for (int i = 0; i < screen.number && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem) {
        xcb_disconnect(screen.connection);
        return std::nullopt;
    }
    screen.root = screens.data->root;
    return screen;
}
