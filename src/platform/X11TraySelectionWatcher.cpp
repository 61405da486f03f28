#include "platform/X11TraySelectionWatcher.h"

#include "platform/XcbScreen.h"

#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>

X11TraySelectionWatcher::X11TraySelectionWatcher(const QByteArray& display, QObject* parent)
    : QObject(parent)
{
    const std::optional<XcbScreen> screen = XcbScreen::open(display);
    if (!screen)
        return;
    m_connection = screen->connection;
    const int screenNumber = screen->number;
    const xcb_window_t root = screen->root;

    const xcb_query_extension_reply_t* xfixes =
        xcb_get_extension_data(m_connection, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return;
    m_xfixesFirstEvent = xfixes->first_event;
    // The extension answers only once the client said which version it speaks.
    std::free(xcb_xfixes_query_version_reply(
        m_connection,
        xcb_xfixes_query_version(m_connection, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
        nullptr));

    const QByteArray atomName = "_NET_SYSTEM_TRAY_S" + QByteArray::number(screenNumber);
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        m_connection,
        xcb_intern_atom(m_connection, 0, uint16_t(atomName.size()), atomName.constData()), nullptr);
    if (!atom)
        return;
    m_selection = atom->atom;
    std::free(atom);

    // Subscribe first, then read the current owner: a host that starts in between is seen
    // by one or the other.
    xcb_xfixes_select_selection_input(m_connection, root, m_selection,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    if (xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
            m_connection, xcb_get_selection_owner(m_connection, m_selection), nullptr)) {
        m_owner = owner->owner;
        std::free(owner);
    }

    m_notifier =
        new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11TraySelectionWatcher::readEvents);
    // Replies above may have queued events already; the socket will not tell about those.
    readEvents();
}

X11TraySelectionWatcher::~X11TraySelectionWatcher()
{
    delete m_notifier;
    if (m_connection)
        xcb_disconnect(m_connection);
}

void X11TraySelectionWatcher::readEvents()
{
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        if ((event->response_type & 0x7f) == m_xfixesFirstEvent + XCB_XFIXES_SELECTION_NOTIFY) {
            const auto* notify = reinterpret_cast<xcb_xfixes_selection_notify_event_t*>(event);
            if (notify->selection == m_selection)
                setOwner(notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER
                             ? notify->owner
                             : 0);
        }
        std::free(event);
    }
    if (xcb_connection_has_error(m_connection)) {
        // The X server went away: nothing more will come.
        m_notifier->setEnabled(false);
        setOwner(0);
    }
}

void X11TraySelectionWatcher::setOwner(std::uint32_t owner)
{
    if (owner == m_owner)
        return;
    m_owner = owner;
    emit ownerChanged(owner != 0);
}
