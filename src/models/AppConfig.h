#pragma once

#include "models/DestinationSlot.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The persisted configuration: destination slots, general options and auto-trash patterns.
struct AppConfig
{
    // When a new download raises a desktop notification while the window is hidden.
    enum class NewDownloadNotice {
        Never,
        // Only while no tray shows the icon, whose badge tells of new downloads already.
        WithoutTray,
        Always,
    };
    // As config.json writes them: "never", "noTray", "always".
    static QString noticeKey(NewDownloadNotice when);
    // Nothing for a word that names no choice.
    static std::optional<NewDownloadNotice> noticeFromKey(const QString& key);

    struct General
    {
        // What the settings last saved for "Launch at login"; the autostart entry itself is
        // the registration. Off until the user turns it on: Stowbird does not add itself to
        // the session's start-up on its own.
        bool launchAtLogin = false;
        // Read through GlobalHotkey, which also takes the macOS spelling "Option+Shift+D";
        // empty: the shortcut is turned off.
        QString globalHotkey = QStringLiteral("Alt+Shift+D");
        double debounceSeconds = 1.5;
        // Stored and round-tripped so that a file written by another version keeps it;
        // nothing purges installers yet.
        int autoPurgeInstallersAfterDays = 14;
        bool anonymousDiagnosticsEnabled = true;
        // The triage window highlights where the history says an item goes.
        bool suggestDestinations = true;
        // "notifyNewDownloads"; a word written by a later version that this one does not
        // know reads as the default.
        NewDownloadNotice notifyNewDownloads = NewDownloadNotice::WithoutTray;

        bool operator==(const General&) const = default;
    };

    // The file format's version, written back as read; only version 1 exists so far.
    int version = 1;
    General general;
    QList<DestinationSlot> destinationSlots = defaultSlots();
    // Kept and written back with the file, for settings shared with other versions; the
    // watcher ignores partial downloads by its own list and nothing trashes automatically.
    QStringList autoTrashPatterns = {QStringLiteral("*.crdownload"), QStringLiteral("*.part")};
    // Folders watched for new items besides the Downloads folder (which always is), written
    // like the slots' paths ("~/Desktop"). InboxFolders says which of them can be watched.
    QStringList additionalInboxes;

    // Slots 1-4 as a fresh installation has them, over the user's Documents and Pictures
    // folders as config.json writes them ("~/Documents"). The configuration service finds
    // the desktop's own folders (xdg-user-dirs) for a first run.
    static QList<DestinationSlot>
    defaultSlots(const QString& documentsFolder = QStringLiteral("~/Documents"),
                 const QString& picturesFolder = QStringLiteral("~/Pictures"));

    // Decodes config.json. The four root keys and every slot key are required; every
    // general key is optional, a missing key or null taking the default; a value of the
    // wrong type anywhere fails the whole document; unknown keys are ignored. On failure
    // returns nothing and, when error is given, says why. additionalInboxes is optional too
    // and never fails the document: a value that is not an array, and entries that are not
    // non-empty strings, are left out, each with a line in notes when it is given.
    static std::optional<AppConfig> decode(const QByteArray& json, QString* error = nullptr,
                                           QStringList* notes = nullptr);

    // Pretty-printed JSON, keys sorted at every level, "/" escaped as "\/", ending in a
    // line feed; additionalInboxes only when there are any.
    QByteArray encode() const;

    bool operator==(const AppConfig&) const = default;
};
