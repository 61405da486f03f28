#pragma once

#include "models/GlobalHotkey.h"

#include <QObject>

// One way of getting a key chord from the whole desktop: the XDG desktop portal, or an X11
// key grab. bind() answers later, once, with bound() or failed(); activated() follows each
// press of the chord while it is bound.
class GlobalShortcutBackend : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void bind(const GlobalHotkey& hotkey) = 0;
    virtual void unbind() = 0;

signals:
    // description: the chord as the desktop will react to it ("Alt+Shift+D"); a portal may
    // give one the user chose instead of the one asked for.
    void bound(const QString& description);
    void failed(const QString& reason);
    void activated();
};
