#pragma once

#include <QObject>

class ConfigurationService;
class GlobalShortcutService;
class LoggerService;

// Keeps the global shortcut bound to the chord the settings name: binds it now, binds it again
// when the saved settings change it (or turn it off), and logs each outcome, a failure as an
// error.
class GlobalShortcutBinding : public QObject
{
    Q_OBJECT
public:
    GlobalShortcutBinding(GlobalShortcutService& shortcut, ConfigurationService& config,
                          LoggerService& logger, QObject* parent = nullptr);

private:
    void logState();

    GlobalShortcutService& m_shortcut;
    LoggerService& m_logger;
};
