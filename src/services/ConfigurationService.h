#pragma once

#include "models/AppConfig.h"
#include "services/ServiceLog.h"

#include <QObject>
#include <QString>

#include <mutex>

// Owns the in-memory configuration, loads config.json once at creation (writing the
// defaults on first start) and writes it back on every save. A bad file never stops the
// program: the defaults are used, and the file is moved aside as config.json.bad-<UTC time>
// before anything can be saved over it, so the user's own settings are never lost.
class ConfigurationService : public QObject
{
    Q_OBJECT
public:
    // configDirectory holds config.json; empty means the default folder.
    explicit ConfigurationService(const QString& configDirectory = {}, QObject* parent = nullptr);

    // Where save failures are logged; standard error until given. The parts of the file
    // left out at load (an extra inbox that is not a path) are logged here once it is given.
    void setLogger(LoggerService& logger);

    const AppConfig& config() const { return m_config; }
    QString configDirectory() const { return m_configDirectory; }
    QString configFilePath() const { return m_configFilePath; }

    // Makes config the current value (signalling only when it differs), then writes the
    // file. A failed write leaves the file as it was and returns false: it is logged,
    // printed on standard output and announced by saveFailed; the new value stays for this
    // run.
    bool saveConfig(const AppConfig& config);
    // Replaces the slot with the same number in place, or appends it and sorts by number.
    void updateSlot(const DestinationSlot& slot);
    void setDestination(int slotNumber, const QString& name, const QString& path);

    // Files larger than this are refused as corrupt instead of being read into memory.
    static constexpr qint64 maximumFileSize = 4 * 1024 * 1024;

    // The configuration of a first run: the default slots over this desktop's Documents and
    // Pictures folders as xdg-user-dirs names them (~/Documents and ~/Images in French), and
    // diagnostics off in a build that would send them anywhere.
    static AppConfig defaultConfig();
    static QList<DestinationSlot> defaultSlots();

    // Where the file that could not be read at start was kept; empty when it loaded (or
    // there was none).
    QString keptBadFilePath() const { return m_keptBadFilePath; }
    // What the window tells the user once about a file that could not be read; empty when
    // there is nothing to tell or it was told already.
    QString pendingNotice() const { return m_pendingNotice; }
    // The window showed the notice: it is not shown again.
    void acknowledgeNotice();

signals:
    void configChanged(const AppConfig& config);
    void pendingNoticeChanged(const QString& notice);
    // A save did not reach the disk; message says so for the user, with the reason.
    void saveFailed(const QString& message);
    // A save reached the disk (after a failure, the settings are safe again).
    void saved();

private:
    void loadConfig();
    void setConfig(const AppConfig& config);
    // Moves the unreadable config.json to config.json.bad-<UTC time> (never replacing an
    // earlier one) and prepares the notice.
    void keepBadFile();
    // Printed now and logged once the logger is given.
    void reportLoadProblem(const QString& message);
    void reportSaveFailure(const QString& reason);

    ServiceLog m_log;
    QString m_configDirectory;
    QString m_configFilePath;
    AppConfig m_config;
    QString m_keptBadFilePath;
    QString m_pendingNotice;
    // The unreadable file could not be moved aside: saving would destroy it.
    bool m_badFileInPlace = false;
    // What the load left out of the file, until it is logged.
    QStringList m_loadNotes;
    // One writer of the file at a time.
    std::mutex m_fileLock;
};
