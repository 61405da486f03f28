#pragma once

#include "platform/GlobalShortcutBackend.h"

#include <QObject>
#include <QString>

#include <memory>

// Opens Stowbird from anywhere on the desktop. It reads the hotkey of the configuration
// ("Option+Shift+D" and "Alt+Shift+D" are the same chord here), binds it through the XDG
// desktop portal's GlobalShortcuts interface where the desktop offers it, otherwise with
// an X11 key grab, and keeps what happened for the settings sheet and the cheat sheet. A
// chord that cannot be bound is reported, never fatal.
class GlobalShortcutService : public QObject
{
    Q_OBJECT
public:
    // Off: the configuration turns the shortcut off (an empty hotkey); nothing is bound.
    enum class State { Unbound, Binding, Bound, Failed, Off };

    explicit GlobalShortcutService(QObject* parent = nullptr);
    ~GlobalShortcutService() override;

    // Binds configuredHotkey with the desktop's own mechanism, or with backend when given
    // (tests, or a caller that knows better), letting go of the chord bound before. The
    // answer comes later through stateChanged. An empty hotkey turns the shortcut off.
    void start(const QString& configuredHotkey,
               std::unique_ptr<GlobalShortcutBackend> backend = nullptr);
    // The hotkey last given to start, as configured.
    QString configuredHotkey() const { return m_configuredHotkey; }

    State state() const { return m_state; }
    // The chord as the user presses it: what the desktop bound, else what is configured.
    QString shortcutText() const { return m_shortcutText; }
    // Why the chord is not bound (empty unless Failed).
    QString failureReason() const { return m_failureReason; }
    // "portal" or "X11" once bound, for the log.
    QString mechanism() const { return m_mechanism; }

signals:
    void stateChanged();
    // The chord was pressed.
    void activated();

private:
    void useBackend(std::unique_ptr<GlobalShortcutBackend> backend, const QString& mechanism);
    void setState(State state, const QString& reason = {});

    State m_state = State::Unbound;
    QString m_configuredHotkey;
    QString m_shortcutText;
    QString m_failureReason;
    QString m_mechanism;
    std::unique_ptr<GlobalShortcutBackend> m_backend;
    int m_generation = 0;
};
