#pragma once

#include "platform/LoginItemBackend.h"
#include "services/ServiceLog.h"

#include <QObject>
#include <QString>

#include <memory>

// Registers the program to start at login and reports the registration in words for the
// settings screen. The platform keeps the registration; nothing is stored here.
class LaunchAtLoginService : public QObject
{
    Q_OBJECT
public:
    // Over the XDG autostart folder and the running binary; first use after the application
    // object exists, which is when the binary can be found.
    static LaunchAtLoginService& shared();

    explicit LaunchAtLoginService(std::unique_ptr<LoginItemBackend> backend,
                                  QObject* parent = nullptr);
    ~LaunchAtLoginService() override;

    // True exactly when the registration is enabled; read live.
    bool isEnabled() const;
    // Like setEnabled, but a failure is logged rather than thrown: false then, with the
    // reason in error when given (for the user to read).
    bool setIsEnabled(bool enabled, QString* error = nullptr);
    // Registers or unregisters; a platform error is thrown as AppError, unchanged.
    void setEnabled(bool enabled);

    int status() const;
    QString statusDescription() const;
    static QString describe(int status);
    void openLoginItemsSettings();

    void setLogRecorder(ServiceLog::Recorder recorder) { m_log.setRecorder(std::move(recorder)); }
    void setLogger(LoggerService& logger) { m_log.setLogger(&logger); }

signals:
    // After this service changed the registration.
    void statusChanged(int status);

private:
    std::unique_ptr<LoginItemBackend> m_backend;
    ServiceLog m_log;
};
