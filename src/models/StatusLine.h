#pragma once

#include <QString>

// One line of feedback in the triage window: what happened, and whether it went wrong or
// is still going on.
struct StatusLine
{
    enum class Kind { Info, Progress, Error };

    QString text;
    Kind kind = Kind::Info;

    bool operator==(const StatusLine&) const = default;
};
