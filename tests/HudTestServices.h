#pragma once

#include "crashreporting/CrashReporter.h"
#include "platform/FreedesktopTrash.h"
#include "platform/ItemRevealer.h"
#include "services/ConfigurationService.h"
#include "services/FileExecutionEngine.h"
#include "services/LoggerService.h"
#include "services/TelemetryService.h"
#include "services/TriageQueueManager.h"
#include "views/TriageContainerView.h"

#include <QDir>
#include <QList>
#include <QSettings>
#include <QUrl>

#include <memory>

// Remembers what the HUD asked the file manager to show.
class RecordingRevealer : public ItemRevealer
{
public:
    void reveal(const QUrl& url) override { revealed.append(url); }
    QList<QUrl> revealed;
};

// The services behind a triage window, each with its files below `home` (the temporary
// home of a test, a benchmark or a screenshot run). Engine is the file engine's type, so a
// test can put in one that holds its actions back.
template <typename Engine = FileExecutionEngine> class HudTestServices
{
public:
    explicit HudTestServices(const QString& home)
        : stateDirectory(home + QStringLiteral("/.local/state/stowbird")),
          queue(std::make_unique<TriageQueueManager>(stateDirectory)),
          config(
              std::make_unique<ConfigurationService>(home + QStringLiteral("/.config/stowbird"))),
          revealer(std::make_shared<RecordingRevealer>()),
          logger(std::make_unique<LoggerService>(stateDirectory)),
          engine(std::make_unique<Engine>(
              std::make_unique<FreedesktopTrash>(home + QStringLiteral("/.local/share")), revealer,
              logger.get(), &CrashReporter::shared())),
          telemetry(std::make_unique<TelemetryService>(
              std::make_unique<QSettings>(home + QStringLiteral("/defaults.ini"),
                                          QSettings::IniFormat),
              &CrashReporter::shared(), nullptr))
    {
    }

    TriageContainerView::Services services() const
    {
        TriageContainerView::Services s;
        s.queue = queue.get();
        s.config = config.get();
        s.engine = engine.get();
        s.telemetry = telemetry.get();
        s.logger = logger.get();
        s.revealer = revealer;
        return s;
    }

    QString stateDirectory;
    std::unique_ptr<TriageQueueManager> queue;
    std::unique_ptr<ConfigurationService> config;
    std::shared_ptr<RecordingRevealer> revealer;
    std::unique_ptr<LoggerService> logger;
    std::unique_ptr<Engine> engine;
    std::unique_ptr<TelemetryService> telemetry;
};
