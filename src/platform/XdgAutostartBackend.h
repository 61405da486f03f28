#pragma once

#include "platform/LoginItemBackend.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// Login items on a freedesktop desktop: a desktop entry named after the application id in
// $XDG_CONFIG_HOME/autostart that starts this program's binary. The entry is enabled when
// it exists, starts this binary and is not switched off (Hidden=true or
// X-GNOME-Autostart-enabled=false); a desktop has no approval step.
class XdgAutostartBackend : public LoginItemBackend
{
public:
    static QString entryFileName() { return QStringLiteral("com.stowbird.Stowbird.desktop"); }
    // $XDG_CONFIG_HOME/autostart
    static QString defaultAutostartDirectory();
    // The running binary (the AppImage file when run from one), or empty when it cannot be
    // determined, as before the application object exists.
    static QString currentExecutablePath();

    XdgAutostartBackend(const QString& autostartDirectory, const QString& executablePath);

    QString entryPath() const;

    int status() const override;
    void registerItem() override;
    void unregisterItem() override;
    void openSettings() override;

    // An enabled entry written by an older Stowbird (no --background, no TryExec) opened
    // the window at every login: rewrite it. Returns true when it was rewritten; throws as
    // registerItem() does.
    bool upgradeOutdatedEntry();

    // The complete desktop entry that starts executablePath with --background, guarded by
    // TryExec.
    static QByteArray entryContents(const QString& executablePath);
    // The keys of the [Desktop Entry] group with string escapes undone; nothing when the
    // file cannot be read.
    static std::optional<QMap<QString, QString>> readEntry(const QString& path);
    // An Exec value that starts program with no arguments, quoted for any path.
    static QString execValue(const QString& program);
    // The arguments of an Exec value (after string escapes were undone).
    static QStringList splitExec(const QString& exec);

private:
    QString m_directory;
    QString m_executablePath;
};
