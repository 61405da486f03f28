#pragma once

#include <QString>

#include <optional>

class QWidget;

// The desktop's folder picker: folders only, opened on startFolder, with the accept button
// and the title the caller names. Nothing when the user cancels.
class FolderDialog
{
public:
    static std::optional<QString> choose(QWidget* parent, const QString& startFolder,
                                         const QString& acceptLabel, const QString& title);
};
