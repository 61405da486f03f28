#pragma once

#include "services/BlockingProblems.h"

#include <memory>

class ConfigurationService;
class CrashReporter;
class FileExecutionEngine;
class GlobalShortcutService;
class HistoryStore;
class ItemRevealer;
class LaunchAtLoginService;
class LoggerService;
class TelemetryService;
class TriageQueueManager;
class UpdateService;

// The services the running program is made of, handed to AppDelegate, which passes each
// on to whoever needs it. The program runs on the set a Root builds; a test builds a fresh
// set for each case, with its folders in a temporary home.
struct AppServices
{
    TriageQueueManager& queue;
    ConfigurationService& config;
    LoggerService& logger;
    CrashReporter& crashReporter;
    TelemetryService& telemetry;
    FileExecutionEngine& engine;
    UpdateService& updates;
    LaunchAtLoginService& launchAtLogin;
    GlobalShortcutService& globalShortcut;
    // Shows a file in the file manager.
    std::shared_ptr<ItemRevealer> revealer;
    // The lasting history of triage actions; none: nothing is recorded or suggested.
    std::shared_ptr<HistoryStore> history = {};
    // What stops the program from doing its job now, for the window and the tray to show.
    std::shared_ptr<BlockingProblems> problems = std::make_shared<BlockingProblems>();

    class Root;
};

// Builds every service of the running program and its collaborators (journal, crash
// reporter, logger, trash, file manager, measurement sender, history) in the order they
// depend on each other, and owns them; its logger is the one LoggerService::shared() returns
// while it lives. The program makes one once the application object exists, before anything
// logs, and never destroys it: the logger's writer and the crash handler may still run while
// the process exits.
class AppServices::Root
{
public:
    Root();
    ~Root();
    Root(const Root&) = delete;
    Root& operator=(const Root&) = delete;

    AppServices services() const;

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};
