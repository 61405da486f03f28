#include "platform/UserDefaults.h"

std::unique_ptr<QSettings> UserDefaults::open()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("stowbird"), QStringLiteral("stowbird"));
}
