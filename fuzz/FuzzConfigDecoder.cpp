// Feeds arbitrary bytes to the config.json decoder. Whatever it accepts must survive a
// round trip: encoding it and decoding the result gives the same configuration back.
#include "models/AppConfig.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const std::optional<AppConfig> config = AppConfig::decode(input, &error);
    if (!config) {
        if (error.isEmpty())
            std::abort(); // a refusal always says why
        return 0;
    }
    const std::optional<AppConfig> again = AppConfig::decode(config->encode());
    if (!again || !(*again == *config))
        std::abort();
    return 0;
}
