#pragma once

#include <QString>
#include <QUrl>

// One routing target: the digit key that selects it, its label and its folder.
struct DestinationSlot
{
    int slot = 0;
    QString name;
    // The folder as the user typed it; may begin with "~".
    QString path;

    int id() const { return slot; }

    // path with a leading "~" or "~user" expanded; a relative path stays relative to the
    // current directory.
    QString resolvedPath() const;
    QUrl resolvedURL() const;
    // True when something exists at resolvedPath() and it is a directory.
    bool isAvailable() const;

    // Expands a leading "~" (the current home) or "~user" (that user's home). Anything
    // else, including an unknown user, is returned unchanged.
    static QString expandTilde(const QString& path);

    bool operator==(const DestinationSlot&) const = default;
};
