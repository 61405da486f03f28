#include "models/FolderListing.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDirIterator>

#include <algorithm>

QList<FolderChildItem> FolderListing::list(const QUrl& folderURL)
{
    QList<FolderChildItem> items;
    // Without QDir::Hidden the iterator skips names beginning with "."; QDir::System keeps
    // broken symbolic links, sockets and pipes, which are entries all the same.
    QDirIterator it(folderURL.toLocalFile(),
                    QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        items.append(FolderChildItem::fromFileInfo(it.fileInfo()));
    }
    sort(items);
    return items;
}

void FolderListing::sort(QList<FolderChildItem>& items)
{
    // Qt's collator compares code points, ignoring numeric mode, for the C locale (the
    // locale of a bare environment); file-manager order needs a real collation there too.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);

    // Sort keys once per entry rather than collating names on every comparison.
    struct Keyed
    {
        QCollatorSortKey key;
        qsizetype index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(items.size());
    for (qsizetype i = 0; i < items.size(); ++i)
        keyed.push_back({collator.sortKey(items.at(i).name), i});
    std::stable_sort(keyed.begin(), keyed.end(), [&items](const Keyed& a, const Keyed& b) {
        const bool aDir = items.at(a.index).isDirectory;
        const bool bDir = items.at(b.index).isDirectory;
        if (aDir != bDir)
            return aDir;
        return a.key.compare(b.key) < 0;
    });

    QList<FolderChildItem> sorted;
    sorted.reserve(items.size());
    for (const Keyed& k : keyed)
        sorted.append(std::move(items[k.index]));
    items = std::move(sorted);
}

QList<FolderChildItem> FolderListing::images(const QList<FolderChildItem>& items)
{
    QList<FolderChildItem> result;
    std::copy_if(items.cbegin(), items.cend(), std::back_inserter(result),
                 [](const FolderChildItem& item) { return item.isImage; });
    return result;
}

QString FolderListing::typeSummary(const QList<FolderChildItem>& items)
{
    int folders = 0;
    int images = 0;
    int pdfs = 0;
    int others = 0;
    for (const FolderChildItem& item : items) {
        if (item.isDirectory)
            ++folders;
        else if (item.isImage)
            ++images;
        else if (item.name.section(QLatin1Char('.'), -1).toLower() == QLatin1String("pdf") &&
                 item.name.contains(QLatin1Char('.')))
            ++pdfs;
        else
            ++others;
    }

    const auto part = [](int count, const char* text) {
        return QCoreApplication::translate("FolderListing", text, nullptr, count);
    };
    QStringList parts;
    if (pdfs > 0)
        parts << part(pdfs, QT_TRANSLATE_N_NOOP("FolderListing", "%n PDFs"));
    if (images > 0)
        parts << part(images, QT_TRANSLATE_N_NOOP("FolderListing", "%n Images"));
    if (folders > 0)
        parts << part(folders, QT_TRANSLATE_N_NOOP("FolderListing", "%n Folders"));
    if (parts.isEmpty() && others > 0)
        parts << part(others, QT_TRANSLATE_N_NOOP("FolderListing", "%n Files"));
    return parts.join(QStringLiteral(", "));
}
