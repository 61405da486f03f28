#pragma once

#include "app/AppServices.h"
#include "fakes/FakeCrashReporter.h"
#include "fakes/RecordingJournal.h"
#include "fakes/RecordingRevealer.h"
#include "fakes/ScriptedLoginItemBackend.h"
#include "platform/FreedesktopTrash.h"
#include "platform/ItemRevealer.h"
#include "services/ConfigurationService.h"
#include "services/FileExecutionEngine.h"
#include "services/GlobalShortcutService.h"
#include "services/LaunchAtLoginService.h"
#include "services/LoggerService.h"
#include "services/TelemetryService.h"
#include "services/TriageQueueManager.h"
#include "services/UpdateService.h"
#include "views/TriageContainerView.h"

#include <QDir>
#include <QList>
#include <QSettings>
#include <QUrl>

#include <memory>

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
          logger(std::make_unique<LoggerService>(stateDirectory, reporter, journal)),
          engine(std::make_unique<Engine>(
              std::make_unique<FreedesktopTrash>(home + QStringLiteral("/.local/share")), revealer,
              *logger, reporter)),
          telemetry(std::make_unique<TelemetryService>(
              std::make_unique<QSettings>(home + QStringLiteral("/defaults.ini"),
                                          QSettings::IniFormat),
              reporter, nullptr)),
          launchAtLogin(
              std::make_unique<LaunchAtLoginService>(std::make_unique<ScriptedLoginItemBackend>())),
          updates(std::make_unique<UpdateService>(
              QUrl(), QStringLiteral("1.0"),
              std::make_unique<QSettings>(home + QStringLiteral("/updates.ini"),
                                          QSettings::IniFormat))),
          globalShortcut(std::make_unique<GlobalShortcutService>())
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
        s.launchAtLogin = launchAtLogin.get();
        s.updates = updates.get();
        s.globalShortcut = globalShortcut.get();
        s.revealer = revealer;
        return s;
    }

    // The same services for a whole program (AppDelegate).
    AppServices appServices()
    {
        return AppServices{*queue,  *config,  *logger,        reporter,        *telemetry,
                           *engine, *updates, *launchAtLogin, *globalShortcut, revealer};
    }

    // Declared first: the services below use them.
    FakeCrashReporter reporter;
    RecordingJournal journal{false};
    QString stateDirectory;
    std::unique_ptr<TriageQueueManager> queue;
    std::unique_ptr<ConfigurationService> config;
    std::shared_ptr<RecordingRevealer> revealer;
    std::unique_ptr<LoggerService> logger;
    std::unique_ptr<Engine> engine;
    std::unique_ptr<TelemetryService> telemetry;
    std::unique_ptr<LaunchAtLoginService> launchAtLogin;
    std::unique_ptr<UpdateService> updates;
    std::unique_ptr<GlobalShortcutService> globalShortcut;
};
