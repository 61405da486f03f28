#pragma once

#include <QString>

// The user's well-known folders as xdg-user-dirs names them in
// $XDG_CONFIG_HOME/user-dirs.dirs, which follow the desktop's language (a French desktop
// has ~/Téléchargements and ~/Images).
class XdgUserDirs
{
public:
    // name: DESKTOP, DOWNLOAD, DOCUMENTS, PICTURES, MUSIC, VIDEOS, TEMPLATES or
    // PUBLICSHARE. The absolute folder the file gives for XDG_<name>_DIR, else
    // home/fallback (the English default) when the file or the entry is missing. A value
    // of "$HOME/" alone means the desktop has switched that folder off: home is returned,
    // as xdg-user-dirs does.
    static QString directory(const QString& name, const QString& fallback);

    // The same, read from the given file (tests).
    static QString directoryIn(const QString& userDirsFile, const QString& name,
                               const QString& fallback);
};
