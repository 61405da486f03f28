#pragma once

#include "platform/CancelToken.h"

#include <QUuid>

#include <atomic>
#include <mutex>

// What the worker thread and the GUI thread share of one triage action's job: its cancel
// token, and whether it ended (its result is on its way to the GUI thread) or was left
// behind (it must not report there any more). The mutex guards finished and abandoned, and
// whatever the worker writes for the GUI thread while the job runs.
struct ActionJobControl
{
    QUuid id;
    CancelToken token;
    std::mutex mutex;
    bool finished = false;
    bool abandoned = false;
    // A series (a group action or its undo): stop before the next member. Also set when the
    // member running is past its point of no return and cannot be cancelled.
    std::atomic<bool> stopSeries = false;
};
