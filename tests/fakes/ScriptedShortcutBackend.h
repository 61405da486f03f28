#pragma once

#include "models/GlobalHotkey.h"
#include "platform/GlobalShortcutBackend.h"

#include <QString>

// A desktop-wide shortcut that binds, or fails with the message given, as the test says,
// and can be "pressed". Binds nothing on the desktop.
class ScriptedShortcutBackend final : public GlobalShortcutBackend
{
public:
    explicit ScriptedShortcutBackend(QString failure = {}) : m_failure(std::move(failure)) {}
    void bind(const GlobalHotkey& hotkey) override
    {
        if (m_failure.isEmpty())
            emit bound(hotkey.displayText());
        else
            emit failed(m_failure);
    }
    void unbind() override {}
    void press() { emit activated(); }

private:
    QString m_failure;
};
