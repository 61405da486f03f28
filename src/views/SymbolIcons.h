#pragma once

#include <QIcon>
#include <QString>

// Icons for the design's symbol names, from the desktop's icon theme.
class SymbolIcons
{
public:
    static QIcon icon(const QString& symbolName);
};
