#pragma once

#include <QSettings>

#include <memory>

// The user-defaults store: QSettings for organisation and application "stowbird", which
// on Linux is $XDG_CONFIG_HOME/stowbird/stowbird.conf. Each service opens its own
// instance (QSettings objects are not shared between threads); they share the file.
class UserDefaults
{
public:
    static std::unique_ptr<QSettings> open();
};
