#pragma once

class QAccessibleInterface;
class QObject;
class QString;

// Roles that assistive technology should see for widgets that Qt would otherwise report as
// plain fillers: the triage window is a window (a frame, over AT-SPI), the item card is
// the list item that stands for the current download, the sheets drawn over the window are
// dialogs, and the status announcer is a notification (an alert for errors).
class AccessibleRoles
{
public:
    // Installs the factory once; safe to call again.
    static void install();

private:
    static QAccessibleInterface* create(const QString& key, QObject* object);
};
