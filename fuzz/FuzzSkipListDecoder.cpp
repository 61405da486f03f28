// Feeds arbitrary bytes to the skip-list decoder; an accepted list must survive a round
// trip through the encoder, paths and file identities alike.
#include "models/SkipList.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<SkipList::Entries> entries = SkipList::decode(input);
    if (!entries)
        return 0;
    const std::optional<SkipList::Entries> again = SkipList::decode(SkipList::encode(*entries));
    if (!again || *again != *entries)
        std::abort();
    return 0;
}
