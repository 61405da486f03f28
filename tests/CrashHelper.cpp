// A program that crashes on purpose, so that tests can look at the reports it leaves.
// Usage: StowbirdCrashHelper MODE [OPTIONS_PLIST]
// MODE: throw-runtime[:reason] | throw-empty | throw-int | segv
#include "crashreporting/CrashReporter.h"
#include "fakes/RecordingJournal.h"
#include "platform/StoragePaths.h"
#include "platform/SystemJournal.h"
#include "services/LoggerService.h"

#include <QString>

#include <cstring>
#include <exception>
#include <stdexcept>
#include <sys/resource.h>

namespace {

struct EmptyException : std::exception
{
    const char* what() const noexcept override { return ""; }
};

volatile int* volatile nowhere = nullptr;

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    // No core files from crashing on purpose.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);

    const QString mode = QString::fromLocal8Bit(argv[1]);
    if (argc >= 3)
        CrashReporter::shared().configure(QString::fromLocal8Bit(argv[2]));
    RecordingJournal journal{false};
    LoggerService logger(StoragePaths::stateDirectory(), CrashReporter::shared(), journal,
                         QString());
    logger.installCrashHandler();
    CrashReporter::shared().setCustomValue(QStringLiteral("lifetime_triaged"), 12);
    logger.action(QStringLiteral("Moving item (.pdf)"));
    logger.info(QStringLiteral("About to crash"));
    logger.waitForWritten();

    if (mode.startsWith(QLatin1String("throw-runtime")))
        throw std::runtime_error(mode.section(QLatin1Char(':'), 1).toStdString());
    if (mode == QLatin1String("throw-empty"))
        throw EmptyException();
    if (mode == QLatin1String("throw-int"))
        throw 42;
    if (mode == QLatin1String("segv"))
        *nowhere = 1;
    return 3;
}
