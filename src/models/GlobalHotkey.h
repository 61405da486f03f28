#pragma once

#include <QString>
#include <Qt>

#include <optional>

// The shortcut that opens Stowbird from anywhere, as the configuration stores it. Both
// platforms' modifier names are read: "Option+Shift+D" (the macOS spelling) is the same
// chord as "Alt+Shift+D", "Command"/"Cmd" is Ctrl as everywhere else in the program, and
// "Super"/"Meta" is the logo key.
struct GlobalHotkey
{
    // The default on a Linux desktop.
    static inline const QString defaultText = QStringLiteral("Alt+Shift+D");

    Qt::KeyboardModifiers modifiers;
    // A Qt::Key, never a modifier key.
    int key = 0;

    // Nothing when the text is not one key with at least one modifier (a global hotkey
    // without one would steal ordinary typing); error then says why.
    static std::optional<GlobalHotkey> parse(const QString& text, QString* error = nullptr);

    // "Alt+Shift+D"
    QString displayText() const;
    // The XDG shortcut trigger notation of the GlobalShortcuts portal: "ALT+SHIFT+d".
    QString portalTrigger() const;
    // The X11 keysym of key (lower case for letters), or 0 when it has none here.
    quint32 keysym() const;

    bool operator==(const GlobalHotkey&) const = default;
};
