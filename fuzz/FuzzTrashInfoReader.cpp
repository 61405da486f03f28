// Feeds arbitrary bytes to the .trashinfo reader, as a file in a shared trash on a USB disk
// could hold them. Whatever path it accepts must, for a trash on another disk, stay inside
// that disk's top folder, so that a restore never writes elsewhere.
#include "platform/TrashInfo.h"

#include <QDir>

#include <cstdint>
#include <cstdlib>

namespace {

bool inside(const QString& path, const QString& folder)
{
    return path.startsWith(folder + QLatin1Char('/')) && path.size() > folder.size() + 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<TrashInfo> info = TrashInfo::parse(input);
    if (!info)
        return 0;
    if (info->path.isEmpty() || info->path.contains(QChar(0)))
        std::abort();

    const QString disk = QStringLiteral("/media/usb");
    for (const QString& trash :
         {disk + QStringLiteral("/.Trash-1000"), disk + QStringLiteral("/.Trash/1000")}) {
        const QString original = TrashInfo::originalPath(trash, info->path);
        if (!original.isEmpty() &&
            (!inside(original, disk) || original != QDir::cleanPath(original)))
            std::abort();
    }
    const QString home =
        TrashInfo::originalPath(QStringLiteral("/home/u/.local/share/Trash"), info->path);
    if (!home.isEmpty() && !QDir::isAbsolutePath(home))
        std::abort();
    return 0;
}
