#pragma once

#include "platform/HistoryDatabase.h"

struct sqlite3;

// Makes an opened file ready for the history: tells a history file made here from any other
// SQLite file put at its path, turns the write-ahead log on, and creates the tables in a new
// file or brings an older file's tables up to HistoryDatabase::schemaVersion, keeping its rows.
// A file written by a newer version is left as it is.
class HistorySchema
{
public:
    static HistoryDatabase::Result prepare(sqlite3* db);

private:
    struct Header
    {
        int version = 0;
        int application = 0;
        int tables = 0;
    };
    static HistoryDatabase::Result readHeader(sqlite3* db, Header* header);
    static HistoryDatabase::Result useWriteAheadLog(sqlite3* db);
    // Creates or upgrades the tables under the write lock.
    static HistoryDatabase::Result upgrade(sqlite3* db);
    static HistoryDatabase::Result newerVersion();
};
