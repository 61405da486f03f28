#pragma once

#include <QString>

// Where Stowbird keeps its files on this desktop, following the XDG base directories.
// Each service takes its folder as a constructor argument; these are the defaults.
class StoragePaths
{
public:
    // $XDG_CONFIG_HOME/stowbird (config.json)
    static QString configDirectory();
    // $XDG_STATE_HOME/stowbird (skipped_items.json, stowbird.log, crash.log)
    static QString stateDirectory();
    // $XDG_DATA_HOME (the home trash lives below it)
    static QString dataHome();
    // The user's Downloads folder (follows xdg-user-dirs).
    static QString downloadsDirectory();
    // The current user's home folder.
    static QString homeDirectory();
    // path as shown to the user: the current home folder written as "~" when path lies
    // inside it ("~/Téléchargements"), anything else unchanged.
    static QString tildePath(const QString& path);

private:
    // An XDG variable when it holds an absolute path, else home + fallback.
    static QString xdgDirectory(const char* variable, const char* fallbackBelowHome);
};
