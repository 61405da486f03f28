#include "app/AccessibleRoles.h"

#include <QAccessibleWidget>
#include <QWidget>

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
    // The card is a plain QWidget subclass without a class name of its own.
    if (key == QLatin1String("QWidget") && object->objectName() == QLatin1String("itemCard"))
        return new QAccessibleWidget(widget, QAccessible::ListItem);
    return nullptr;
}
