#include "platform/XdgAutostartBackend.h"

#include "models/AppError.h"
#include "platform/StoragePaths.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

namespace {

const QString errorDomain = QStringLiteral("com.stowbird.autostart");

// Escapes for a desktop-entry string value.
QString escapeString(const QString& value)
{
    QString out;
    for (QChar c : value) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

QString unescapeString(const QString& value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            out += QLatin1Char(' ');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        default:
            out += next; // "\\" and anything unknown: the character itself
        }
    }
    return out;
}

QString comparablePath(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

} // namespace

QString XdgAutostartBackend::defaultAutostartDirectory()
{
    // configDirectory() is $XDG_CONFIG_HOME/stowbird.
    return QFileInfo(StoragePaths::configDirectory()).path() + QStringLiteral("/autostart");
}

QString XdgAutostartBackend::currentExecutablePath()
{
    // An AppImage runs from a mount point that changes at every start; the image file
    // itself is what must be started at login.
    const QString appImage = qEnvironmentVariable("APPIMAGE");
    if (!appImage.isEmpty() && QFileInfo(appImage).isFile())
        return appImage;
    if (!QCoreApplication::instance())
        return {};
    const QString path = QCoreApplication::applicationFilePath();
    return QFileInfo(path).isFile() ? path : QString();
}

XdgAutostartBackend::XdgAutostartBackend(const QString& autostartDirectory,
                                         const QString& executablePath)
    : m_directory(autostartDirectory), m_executablePath(executablePath)
{
}

QString XdgAutostartBackend::entryPath() const
{
    return m_directory + QLatin1Char('/') + entryFileName();
}

int XdgAutostartBackend::status() const
{
    if (m_executablePath.isEmpty() || !QFileInfo(m_executablePath).isFile())
        return notFound;
    const std::optional<QMap<QString, QString>> entry = readEntry(entryPath());
    if (!entry)
        return notRegistered;
    if (entry->value(QStringLiteral("Hidden")).trimmed() == QLatin1String("true") ||
        entry->value(QStringLiteral("X-GNOME-Autostart-enabled")).trimmed() ==
            QLatin1String("false"))
        return notRegistered;
    const QStringList arguments = splitExec(entry->value(QStringLiteral("Exec")));
    if (arguments.isEmpty() ||
        comparablePath(arguments.first()) != comparablePath(m_executablePath))
        return notRegistered;
    return enabled;
}

void XdgAutostartBackend::registerItem()
{
    if (m_executablePath.isEmpty() || !QFileInfo(m_executablePath).isFile())
        throw AppError::make(
            errorDomain, AppError::Code::ProgramFileMissing,
            QCoreApplication::translate("XdgAutostartBackend",
                                        "The Stowbird program file could not be found."));
    if (!QDir().mkpath(m_directory) || !QFileInfo(m_directory).isDir())
        throw AppError::make(
            errorDomain, AppError::Code::AutostartFolderNotCreated,
            QCoreApplication::translate("XdgAutostartBackend",
                                        "The autostart folder %1 could not be created.")
                .arg(m_directory));
    // An entry left by an older install, or switched off, is replaced as a whole.
    QSaveFile file(entryPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(entryContents(m_executablePath)) < 0 ||
        !file.commit())
        throw AppError::make(
            errorDomain, AppError::Code::AutostartEntryNotWritten,
            QCoreApplication::translate("XdgAutostartBackend",
                                        "The autostart entry %1 could not be written: %2")
                .arg(entryPath(), file.errorString()));
}

bool XdgAutostartBackend::upgradeOutdatedEntry()
{
    if (status() != enabled)
        return false;
    const std::optional<QMap<QString, QString>> entry = readEntry(entryPath());
    const QStringList arguments = splitExec(entry->value(QStringLiteral("Exec")));
    if (arguments.contains(QStringLiteral("--background")) &&
        entry->contains(QStringLiteral("TryExec")))
        return false;
    registerItem();
    return true;
}

void XdgAutostartBackend::unregisterItem()
{
    QFile file(entryPath());
    if (file.exists() && !file.remove())
        throw AppError::make(
            errorDomain, AppError::Code::AutostartEntryNotRemoved,
            QCoreApplication::translate("XdgAutostartBackend",
                                        "The autostart entry %1 could not be removed: %2")
                .arg(entryPath(), file.errorString()));
}

void XdgAutostartBackend::openSettings()
{
    QDir().mkpath(m_directory);
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_directory));
}

QByteArray XdgAutostartBackend::entryContents(const QString& executablePath)
{
    const QStringList lines{
        QStringLiteral("[Desktop Entry]"),
        QStringLiteral("Type=Application"),
        QStringLiteral("Version=1.0"),
        QStringLiteral("Name=Stowbird"),
        QStringLiteral("Comment=Keeps the Downloads folder empty"),
        // At login the program starts in the tray: the window opens only when asked for.
        QStringLiteral("Exec=") + escapeString(execValue(executablePath)) +
            QStringLiteral(" --background"),
        // A session skips the entry once the program is gone (package removed, AppImage
        // deleted) instead of keeping a broken login item.
        QStringLiteral("TryExec=") + escapeString(executablePath),
        QStringLiteral("Icon=com.stowbird.Stowbird"),
        QStringLiteral("Terminal=false"),
        QStringLiteral("StartupNotify=false"),
        QStringLiteral("X-GNOME-Autostart-enabled=true"),
        // The tray icon needs the panel: give it time to appear (GNOME, KDE, LXQt).
        QStringLiteral("X-GNOME-Autostart-Delay=2"),
        QStringLiteral("X-KDE-autostart-after=panel"),
        QStringLiteral("X-LXQt-Need-Tray=true"),
    };
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

std::optional<QMap<QString, QString>> XdgAutostartBackend::readEntry(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QMap<QString, QString> keys;
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inMainGroup || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        if (!keys.contains(key)) // the first occurrence of a key counts
            keys.insert(key, unescapeString(line.mid(equals + 1).trimmed()));
    }
    return keys;
}

QString XdgAutostartBackend::execValue(const QString& program)
{
    // Inside double quotes ", `, $ and \ take a backslash; % is doubled everywhere.
    QString quoted = QStringLiteral("\"");
    for (QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

QStringList XdgAutostartBackend::splitExec(const QString& exec)
{
    QStringList arguments;
    QString current;
    bool inQuotes = false;
    bool hasArgument = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (inQuotes) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size()) {
                current += exec.at(++i);
            } else if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else if (c == QLatin1Char('%') && i + 1 < exec.size() &&
                       exec.at(i + 1) == QLatin1Char('%')) {
                current += c;
                ++i;
            } else {
                current += c;
            }
            continue;
        }
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (hasArgument)
                arguments.append(current);
            current.clear();
            hasArgument = false;
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
            hasArgument = true;
        } else if (c == QLatin1Char('%') && i + 1 < exec.size() &&
                   exec.at(i + 1) == QLatin1Char('%')) {
            current += c;
            hasArgument = true;
            ++i;
        } else {
            current += c;
            hasArgument = true;
        }
    }
    if (hasArgument)
        arguments.append(current);
    return arguments;
}
