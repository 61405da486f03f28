#include "models/GlobalHotkey.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QStringList>

namespace {

std::optional<Qt::KeyboardModifier> modifierNamed(const QString& name)
{
    const QString n = name.toLower();
    if (n == QLatin1String("alt") || n == QLatin1String("option") || n == QLatin1String("opt") ||
        n == QStringLiteral("\u2325"))
        return Qt::AltModifier;
    if (n == QLatin1String("shift") || n == QStringLiteral("\u21E7"))
        return Qt::ShiftModifier;
    if (n == QLatin1String("ctrl") || n == QLatin1String("control") ||
        n == QLatin1String("command") || n == QLatin1String("cmd") ||
        n == QStringLiteral("\u2318") || n == QStringLiteral("\u2303"))
        return Qt::ControlModifier;
    if (n == QLatin1String("super") || n == QLatin1String("meta") || n == QLatin1String("logo") ||
        n == QLatin1String("win"))
        return Qt::MetaModifier;
    return std::nullopt;
}

bool isModifierKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr || key == Qt::Key_Super_L ||
           key == Qt::Key_Super_R;
}

} // namespace

std::optional<GlobalHotkey> GlobalHotkey::parse(const QString& text, QString* error)
{
    auto fail = [error](const QString& why) -> std::optional<GlobalHotkey> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    // "+" itself may be the key: "Ctrl++".
    QString rest = text.trimmed();
    QString keyName;
    if (rest.endsWith(QLatin1String("++"))) {
        keyName = QStringLiteral("+");
        rest.chop(2);
    } else {
        const qsizetype plus = rest.lastIndexOf(QLatin1Char('+'));
        keyName = rest.mid(plus + 1).trimmed();
        rest = plus < 0 ? QString() : rest.left(plus);
    }
    GlobalHotkey hotkey;
    const QStringList names = rest.split(QLatin1Char('+'), Qt::SkipEmptyParts);
    for (const QString& name : names) {
        const auto modifier = modifierNamed(name.trimmed());
        if (!modifier)
            return fail(QCoreApplication::translate("GlobalHotkey", "\"%1\" is not a modifier key")
                            .arg(name.trimmed()));
        hotkey.modifiers |= *modifier;
    }
    if (keyName.isEmpty())
        return fail(QCoreApplication::translate("GlobalHotkey", "no key is named"));
    if (modifierNamed(keyName))
        return fail(
            QCoreApplication::translate("GlobalHotkey", "a modifier alone is not a shortcut"));
    const QKeySequence sequence = QKeySequence::fromString(keyName, QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].keyboardModifiers() != Qt::NoModifier ||
        sequence[0].key() == Qt::Key_unknown || isModifierKey(sequence[0].key()))
        return fail(
            QCoreApplication::translate("GlobalHotkey", "\"%1\" is not a key").arg(keyName));
    if (hotkey.modifiers == Qt::NoModifier)
        return fail(QCoreApplication::translate(
            "GlobalHotkey", "a shortcut for the whole desktop needs a modifier key"));
    hotkey.key = sequence[0].key();
    return hotkey;
}

QString GlobalHotkey::displayText() const
{
    // Modifiers in the order desktops write them.
    QStringList parts;
    if (modifiers & Qt::ControlModifier)
        parts << QStringLiteral("Ctrl");
    if (modifiers & Qt::AltModifier)
        parts << QStringLiteral("Alt");
    if (modifiers & Qt::ShiftModifier)
        parts << QStringLiteral("Shift");
    if (modifiers & Qt::MetaModifier)
        parts << QStringLiteral("Super");
    parts << QKeySequence(key).toString(QKeySequence::PortableText);
    return parts.join(QLatin1Char('+'));
}

QString GlobalHotkey::portalTrigger() const
{
    QStringList parts;
    if (modifiers & Qt::ControlModifier)
        parts << QStringLiteral("CTRL");
    if (modifiers & Qt::AltModifier)
        parts << QStringLiteral("ALT");
    if (modifiers & Qt::ShiftModifier)
        parts << QStringLiteral("SHIFT");
    if (modifiers & Qt::MetaModifier)
        parts << QStringLiteral("LOGO");
    // Key names are xkb keysym names: lower-case letters, "F5", "space".
    QString name = QKeySequence(key).toString(QKeySequence::PortableText);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        name = name.toLower();
    else if (key == Qt::Key_Space)
        name = QStringLiteral("space");
    parts << name;
    return parts.join(QLatin1Char('+'));
}

quint32 GlobalHotkey::keysym() const
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return quint32('a' + (key - Qt::Key_A));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return 0xffbe + quint32(key - Qt::Key_F1);
    // Printable Latin-1 keys share their code with the keysym.
    if (key >= 0x20 && key <= 0xff)
        return quint32(key);
    switch (key) {
    case Qt::Key_Escape:
        return 0xff1b;
    case Qt::Key_Return:
        return 0xff0d;
    case Qt::Key_Tab:
        return 0xff09;
    case Qt::Key_Backspace:
        return 0xff08;
    case Qt::Key_Delete:
        return 0xffff;
    case Qt::Key_Insert:
        return 0xff63;
    case Qt::Key_Home:
        return 0xff50;
    case Qt::Key_End:
        return 0xff57;
    case Qt::Key_PageUp:
        return 0xff55;
    case Qt::Key_PageDown:
        return 0xff56;
    case Qt::Key_Left:
        return 0xff51;
    case Qt::Key_Up:
        return 0xff52;
    case Qt::Key_Right:
        return 0xff53;
    case Qt::Key_Down:
        return 0xff54;
    default:
        return 0;
    }
}
