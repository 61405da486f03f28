#pragma once

#include "models/ActionRecord.h"
#include "models/HistoryEntry.h"
#include "platform/FileSystemEntry.h"

#include <QDir>
#include <QFile>

#include <cstdio>

// Moves the file at `from` into folder the way the engine does and returns the history entry
// the program records for it (slot 0: a folder chosen by hand).
inline HistoryEntry fileByHand(const QString& from, const QString& folder, int slot,
                               const QString& host = {})
{
    const TriageItem item(QUrl::fromLocalFile(from));
    const QString to = folder + QLatin1Char('/') + item.filename;
    QDir().mkpath(folder);
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        qFatal("rename failed");
    ActionRecord record(
        ActionRecord::ActionType::moved(QUrl::fromLocalFile(from), QUrl::fromLocalFile(to)), item);
    record.placed = FileSystemEntry::identityAt(to);
    return HistoryEntry::fromActionRecord(
        record, slot > 0 ? HistoryEntry::Action::MovedToSlot : HistoryEntry::Action::MovedToFolder,
        slot, host);
}
