#include "views/SymbolIcons.h"

#include <QHash>

QIcon SymbolIcons::icon(const QString& symbolName)
{
    static const QHash<QString, QString> themeNames{
        {QStringLiteral("pencil"), QStringLiteral("document-edit")},
        {QStringLiteral("pencil.line"), QStringLiteral("edit-rename")},
        {QStringLiteral("checkmark.circle.fill"), QStringLiteral("dialog-ok-apply")},
        {QStringLiteral("xmark.circle.fill"), QStringLiteral("window-close")},
        {QStringLiteral("exclamationmark.triangle.fill"), QStringLiteral("dialog-warning")},
        {QStringLiteral("folder.badge.gearshape"), QStringLiteral("folder-open")},
        {QStringLiteral("tray"), QStringLiteral("mail-folder-inbox")},
        {QStringLiteral("tray.full"), QStringLiteral("mail-folder-inbox")},
        {QStringLiteral("questionmark.circle"), QStringLiteral("help-about")},
        {QStringLiteral("gearshape"), QStringLiteral("configure")},
        {QStringLiteral("checkmark.circle"), QStringLiteral("emblem-ok")},
    };
    return QIcon::fromTheme(themeNames.value(symbolName, symbolName));
}
