#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QLocalServer;

// Keeps one Stowbird per user session. The first instance listens on a local socket; a
// later launch finds it there, asks it to open its HUD, and exits.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // socketPath empty: a socket in $XDG_RUNTIME_DIR (or /tmp, named after the user).
    explicit SingleInstance(const QString& socketPath = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Asks a running instance to open its HUD. True when one answered.
    bool notifyRunningInstance(int timeoutMs = 1000);
    // Asks a running instance for its status line; nothing when none answered.
    std::optional<QByteArray> queryRunningInstance(int timeoutMs = 1000);
    // What this instance answers to a status query (one line, no line feed).
    void setStatusProvider(std::function<QByteArray()> provider)
    {
        m_statusProvider = std::move(provider);
    }
    // Starts listening as the running instance. False if the socket cannot be created.
    bool listen();

    QString socketPath() const { return m_socketPath; }
    static QString defaultSocketPath();

signals:
    // Another launch asked this instance to show itself.
    void activationRequested();

private:
    QString m_socketPath;
    std::optional<QByteArray> request(const QByteArray& message, int timeoutMs);

    QLocalServer* m_server = nullptr;
    std::function<QByteArray()> m_statusProvider;
};
