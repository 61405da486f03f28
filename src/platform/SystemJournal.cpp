#include "platform/SystemJournal.h"

#include <systemd/sd-journal.h>

void SystemJournal::send(Priority priority, const char* message, std::size_t length)
{
    // A failure (no journal on this system) is ignored: the journal is only a copy.
    sd_journal_send("MESSAGE=%.*s", int(length), message, "PRIORITY=%i", int(priority),
                    "SYSLOG_IDENTIFIER=stowbird", "SUBSYSTEM=com.stowbird.Stowbird",
                    "CATEGORY=General", nullptr);
}
