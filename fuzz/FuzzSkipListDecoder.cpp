// Feeds arbitrary bytes to the skip-list decoder; an accepted list must survive a round
// trip through the encoder.
#include "models/SkipList.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QSet<QString>> paths = SkipList::decode(input);
    if (!paths)
        return 0;
    const std::optional<QSet<QString>> again = SkipList::decode(SkipList::encode(*paths));
    if (!again || *again != *paths)
        std::abort();
    return 0;
}
