#pragma once

#include "fakes/FakeCrashReporter.h"
#include "fakes/RecordingJournal.h"
#include "platform/StoragePaths.h"
#include "services/LoggerService.h"

// A logger of its own for a test, a benchmark or a tool, to hand the part under test: lines go
// to stowbird.log in folder (by default the state folder of the temporary home) and to a
// journal that keeps them when keepLines is set (journal.take() says what was logged) instead
// of the journal of whoever runs it; breadcrumbs go to a fake reporter.
class TestLogger
{
public:
    explicit TestLogger(bool keepLines = false,
                        const QString& folder = StoragePaths::stateDirectory())
        : journal(keepLines), logger(folder, reporter, journal)
    {
    }

    // The lines logged so far (and not taken before) that contain text, once written.
    QList<RecordingJournal::Entry> linesWith(const QString& text)
    {
        logger.waitForWritten(5000);
        QList<RecordingJournal::Entry> lines;
        for (const RecordingJournal::Entry& entry : journal.take()) {
            if (entry.message.contains(text))
                lines << entry;
        }
        return lines;
    }

    FakeCrashReporter reporter;
    RecordingJournal journal;
    LoggerService logger;
};
