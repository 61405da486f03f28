#include "services/ConfigurationService.h"

#include "platform/JsonFile.h"
#include "platform/NoReplaceRename.h"
#include "platform/PrivateStorage.h"
#include "platform/StoragePaths.h"
#include "platform/XdgUserDirs.h"
#include "services/MeasurementDispatcher.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

// The service's load failures go to standard output at once and to the log once it is given.
void printMessage(const QString& message)
{
    std::fprintf(stdout, "%s\n", message.toUtf8().constData());
    std::fflush(stdout);
}

bool ensureFolder(const QString& folder, QString* error)
{
    if (PrivateStorage::makeFolder(folder))
        return true;
    *error = QCoreApplication::translate("ConfigurationService", "Could not create the folder %1")
                 .arg(folder);
    return false;
}

} // namespace

ConfigurationService::ConfigurationService(const QString& configDirectory, QObject* parent)
    : QObject(parent),
      m_configDirectory(configDirectory.isEmpty() ? StoragePaths::configDirectory()
                                                  : QDir::cleanPath(configDirectory)),
      m_configFilePath(m_configDirectory + QStringLiteral("/config.json"))
{
    loadConfig();
}

void ConfigurationService::setLogger(LoggerService& logger)
{
    m_log.setLogger(&logger);
    for (const QString& note : std::exchange(m_loadNotes, {}))
        m_log.error(QStringLiteral("[ConfigurationService] In %1: %2").arg(m_configFilePath, note));
}

void ConfigurationService::setConfig(const AppConfig& config)
{
    if (m_config == config)
        return;
    m_config = config;
    emit configChanged(m_config);
}

QList<DestinationSlot> ConfigurationService::defaultSlots()
{
    // Paths inside home are written with "~", as the user would write them.
    return AppConfig::defaultSlots(StoragePaths::tildePath(XdgUserDirs::directory(
                                       QStringLiteral("DOCUMENTS"), QStringLiteral("Documents"))),
                                   StoragePaths::tildePath(XdgUserDirs::directory(
                                       QStringLiteral("PICTURES"), QStringLiteral("Pictures"))));
}

AppConfig ConfigurationService::defaultConfig()
{
    AppConfig config;
    config.destinationSlots = defaultSlots();
    // A build that sends usage counts off this computer asks for consent first: until the
    // user turns the switch on, nothing is sent. A build that sends nothing keeps its
    // counts and crash reports here from the start.
    if (MeasurementDispatcher::buildSends())
        config.general.anonymousDiagnosticsEnabled = false;
    return config;
}

void ConfigurationService::loadConfig()
{
    QString error;
    if (ensureFolder(m_configDirectory, &error)) {
        // Settings made by an older version may be readable by others.
        PrivateStorage::tightenFile(m_configFilePath);
        QFile file(m_configFilePath);
        const QFileInfo info(m_configFilePath);
        if (!info.exists() && !info.isSymLink()) {
            saveConfig(defaultConfig());
            return;
        }
        // Only a regular file is opened: a FIFO there would block the start for good.
        if (!info.isFile()) {
            error = QStringLiteral("the path is not a regular file");
        } else if (!file.open(QIODevice::ReadOnly)) {
            error = file.errorString();
        } else if (file.size() > maximumFileSize) {
            error = QStringLiteral("the file is larger than %1 bytes").arg(maximumFileSize);
        } else {
            // read() with a limit also bounds a file that grows while being read.
            const QByteArray data = file.read(maximumFileSize + 1);
            if (data.size() > maximumFileSize)
                error = QStringLiteral("the file is larger than %1 bytes").arg(maximumFileSize);
            else if (const auto decoded = AppConfig::decode(data, &error, &m_loadNotes)) {
                setConfig(*decoded);
                return;
            }
        }
        reportLoadProblem(
            QStringLiteral("[ConfigurationService] Error loading config: %1, fallback "
                           "to defaults")
                .arg(error));
        setConfig(defaultConfig());
        keepBadFile();
        return;
    }
    reportLoadProblem(QStringLiteral("[ConfigurationService] Error loading config: %1, fallback to "
                                     "defaults")
                          .arg(error));
    setConfig(defaultConfig());
}

void ConfigurationService::reportLoadProblem(const QString& message)
{
    printMessage(message);
    m_loadNotes.append(message);
}

void ConfigurationService::keepBadFile()
{
    // Several bad starts within a second each keep their own copy.
    int err = 0;
    const QString kept = NoReplaceRename::keepAside(m_configFilePath, &err);
    if (err != 0) {
        m_badFileInPlace = true;
        reportLoadProblem(QStringLiteral("[ConfigurationService] Could not keep the unreadable "
                                         "config aside: %1; it will not be written over")
                              .arg(QString::fromLocal8Bit(std::strerror(err))));
        m_pendingNotice = tr("Your settings file could not be read; Stowbird "
                             "started with defaults and will not save over %1.")
                              .arg(m_configFilePath);
        return;
    }
    PrivateStorage::tightenFile(kept);
    m_keptBadFilePath = kept;
    m_pendingNotice = tr("Your settings file could not be read; Stowbird started "
                         "with defaults and kept your file as %1")
                          .arg(kept);
}

void ConfigurationService::acknowledgeNotice()
{
    if (m_pendingNotice.isEmpty())
        return;
    m_pendingNotice.clear();
    emit pendingNoticeChanged(m_pendingNotice);
}

bool ConfigurationService::saveConfig(const AppConfig& config)
{
    setConfig(config);
    QString error;
    if (m_badFileInPlace) {
        reportSaveFailure(tr("the unreadable file %1 could not be kept aside, so "
                             "it is not written over")
                              .arg(m_configFilePath));
        return false;
    }
    bool written = false;
    {
        const std::lock_guard lock(m_fileLock);
        written = ensureFolder(m_configDirectory, &error) &&
                  JsonFile::writeAtomically(m_configFilePath, config.encode(), &error);
    }
    if (written) {
        emit saved();
        return true;
    }
    reportSaveFailure(error);
    return false;
}

void ConfigurationService::reportSaveFailure(const QString& reason)
{
    printMessage(QStringLiteral("[ConfigurationService] Failed to save config: %1").arg(reason));
    m_log.error(QStringLiteral("[ConfigurationService] Failed to save config: %1").arg(reason));
    emit saveFailed(tr("Settings not saved. %1").arg(reason));
}

void ConfigurationService::updateSlot(const DestinationSlot& slot)
{
    AppConfig copy = m_config;
    auto& slotList = copy.destinationSlots;
    const auto it = std::find_if(slotList.begin(), slotList.end(),
                                 [&](const DestinationSlot& s) { return s.slot == slot.slot; });
    if (it != slotList.end()) {
        *it = slot;
    } else {
        slotList.append(slot);
        std::stable_sort(
            slotList.begin(), slotList.end(),
            [](const DestinationSlot& a, const DestinationSlot& b) { return a.slot < b.slot; });
    }
    saveConfig(copy);
}

void ConfigurationService::setDestination(int slotNumber, const QString& name, const QString& path)
{
    updateSlot(DestinationSlot{slotNumber, name, path});
}
