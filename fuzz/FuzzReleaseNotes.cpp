// Feeds arbitrary text to the release-notes cleaner, as an update feed's description could
// hold it. What comes out must stay within the length bound, name no resource to load and
// come out the same when cleaned again.
#include "models/ReleaseNotesHtml.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString clean = ReleaseNotesHtml::sanitize(input);
    // Text is escaped at most fivefold ("<" to "&lt;" and the like); closing tags follow.
    if (clean.size() > 5 * ReleaseNotesHtml::maximumLength + 16 * ReleaseNotesHtml::maximumDepth)
        std::abort();
    if (clean.contains(QLatin1String("src="), Qt::CaseInsensitive) ||
        clean.contains(QLatin1String("<img"), Qt::CaseInsensitive) ||
        clean.contains(QLatin1String("<style"), Qt::CaseInsensitive))
        std::abort();
    if (ReleaseNotesHtml::sanitize(clean) != clean)
        std::abort();
    return 0;
}
