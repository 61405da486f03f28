#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

// The folders watched for new items: the Downloads folder, always, and the other inboxes the
// user adds (a Desktop, a screenshots folder), written like the slots' paths ("~/Desktop").
// Each inbox is watched for its own top-level items, so no two may overlap: a folder inside
// another inbox, or holding one, would be queued as a single item and filed whole.
class InboxFolders
{
    Q_DECLARE_TR_FUNCTIONS(InboxFolders)
public:
    struct Rejected
    {
        QString entry;
        QString reason;
    };

    // The folders to watch besides downloads, "~" expanded and cleaned, in the order of
    // entries. An entry that cannot be an inbox is left out and, when rejected is given,
    // listed with the reason (see problemWith); of two that overlap, the later one is.
    static QStringList resolve(const QStringList& entries, const QString& downloads,
                               QList<Rejected>* rejected = nullptr);
    // Why entry cannot be watched beside downloads and the folders of accepted (resolved
    // already); empty when it can. Refused: a path that is not absolute once "~" is expanded,
    // the Downloads folder, a folder already watched, and one inside or around another.
    static QString problemWith(const QString& entry, const QStringList& accepted,
                               const QString& downloads);
    // The folder of entry as it is watched: "~" expanded, cleaned; empty when it is not an
    // absolute path.
    static QString folderOf(const QString& entry);
    // How the card and the settings name an inbox: its last folder name ("Desktop").
    static QString displayName(const QString& folder);
};
