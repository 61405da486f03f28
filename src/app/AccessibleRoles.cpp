#include "app/AccessibleRoles.h"

#include "views/StatusAnnouncer.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

// The announcer is a notification, or an alert while it speaks an error.
class AnnouncerAccessible : public QAccessibleWidget
{
public:
    explicit AnnouncerAccessible(StatusAnnouncer* announcer)
        : QAccessibleWidget(announcer, QAccessible::Notification)
    {
    }
    QAccessible::Role role() const override
    {
        const auto* announcer = static_cast<const StatusAnnouncer*>(widget());
        return announcer->urgency() == StatusAnnouncer::Urgency::Assertive
                   ? QAccessible::AlertMessage
                   : QAccessible::Notification;
    }
};

} // namespace

void AccessibleRoles::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&AccessibleRoles::create);
        return true;
    }();
    (void)installed;
}

QAccessibleInterface* AccessibleRoles::create(const QString& key, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (key == QLatin1String("TriageHUDPanel"))
        return new QAccessibleWidget(widget, QAccessible::Window);
    // Sheets and offers drawn inside the window are dialogs to a screen reader, named by
    // their titles, so that moving the focus into one says where the user now is.
    if (key == QLatin1String("CheatSheetOverlay") || key == QLatin1String("SettingsView") ||
        key == QLatin1String("CreateFolderOffer") || key == QLatin1String("HistoryView"))
        return new QAccessibleWidget(widget, QAccessible::Dialog);
    if (key == QLatin1String("StatusAnnouncer"))
        return new AnnouncerAccessible(static_cast<StatusAnnouncer*>(widget));
    // The card is a plain QWidget subclass without a class name of its own.
    if (key == QLatin1String("QWidget") && object->objectName() == QLatin1String("itemCard"))
        return new QAccessibleWidget(widget, QAccessible::ListItem);
    return nullptr;
}
