// Feeds arbitrary bytes to the skip-list decoder; an accepted list must survive a round
// trip through both encoders: the identity file keeps paths and file identities alike, the
// list file the paths.
#include "models/SkipList.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<SkipList::Entries> entries = SkipList::decode(input);
    if (!entries)
        return 0;
    const std::optional<SkipList::Entries> again =
        SkipList::decode(SkipList::encodeIdentities(*entries));
    if (!again || *again != *entries)
        std::abort();
    const std::optional<SkipList::Entries> paths =
        SkipList::decode(SkipList::encodePaths(entries->keys()));
    if (!paths || paths->size() != entries->size())
        std::abort();
    for (auto it = paths->cbegin(); it != paths->cend(); ++it) {
        if (!entries->contains(it.key()) || it.value().isValid())
            std::abort();
    }
    return 0;
}
