#pragma once

#include <QObject>
#include <QString>

#include <functional>

// Creates a folder with its missing parents off the GUI thread (a slot may point at a
// network mount that takes its time) and reports back on the caller's thread.
class FolderCreator
{
public:
    // done(ok, error) runs on context's thread, unless context is gone by then.
    static void create(const QString& path, QObject* context,
                       std::function<void(bool ok, const QString& error)> done);
    // The blocking work: true when path is a folder afterwards; error says why not.
    static bool createNow(const QString& path, QString* error);
};
