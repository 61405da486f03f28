#pragma once

#include <cstddef>

// The system journal, where every log line is copied. Tests substitute a recording
// subclass. Nothing happens where no journal runs.
class SystemJournal
{
public:
    // syslog priorities used by the logger.
    enum Priority { Error = 3, Notice = 5, Info = 6 };

    virtual ~SystemJournal() = default;

    // message is UTF-8 of the given length (it need not be NUL-terminated).
    virtual void send(Priority priority, const char* message, std::size_t length);
};
