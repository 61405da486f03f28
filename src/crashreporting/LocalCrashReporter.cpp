#include "crashreporting/LocalCrashReporter.h"

#include "platform/PosixWrite.h"
#include "platform/PrivateStorage.h"
#include "platform/PropertyListReader.h"
#include "platform/StoragePaths.h"
#include "platform/UtcTimestamp.h"

#include <QDir>
#include <QFile>

#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>

namespace {

bool copyPath(const QByteArray& path, char* out)
{
    if (path.size() >= PATH_MAX) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, path.constData(), std::size_t(path.size()));
    out[path.size()] = '\0';
    return true;
}

QString describeValue(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return value.toString();
}

// One line per entry in the files: line breaks inside a value become spaces.
QString singleLine(QString text)
{
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

} // namespace

LocalCrashReporter::LocalCrashReporter(const QString& reportDirectory)
    : m_directory(reportDirectory.isEmpty() ? StoragePaths::stateDirectory()
                                            : QDir::cleanPath(reportDirectory))
{
}

bool LocalCrashReporter::configure(const QString& optionsFilePath)
{
    const std::lock_guard locker(m_mutex);
    if (m_configured.load())
        return true;
    const std::optional<QVariantMap> options = PropertyListReader::readDictionary(optionsFilePath);
    // The options must name the application, as the real service requires.
    if (!options || options->value(QStringLiteral("GOOGLE_APP_ID")).toString().isEmpty())
        return false;
    m_options = *options;
    PrivateStorage::makeFolder(m_directory);
    copyPath(QFile::encodeName(crashReportPath()), m_reportPath);
    copyPath(QFile::encodeName(crashReportPath() + QStringLiteral(".tmp")), m_reportTemporaryPath);
    publishSnapshot();
    m_configured.store(true);
    return true;
}

void LocalCrashReporter::setCollectionEnabled(bool enabled)
{
    if (m_configured.load())
        m_collectionEnabled.store(enabled);
}

void LocalCrashReporter::setCustomValue(const QString& key, const QVariant& value)
{
    if (!m_configured.load())
        return;
    const std::lock_guard locker(m_mutex);
    if (!m_customValues.contains(key) && m_customValues.size() >= maximumCustomKeys)
        return;
    m_customValues.insert(key, value);
    m_customValuesText.clear();
    for (auto it = m_customValues.cbegin(); it != m_customValues.cend(); ++it)
        m_customValuesText += QStringLiteral("%1: %2\n")
                                  .arg(singleLine(it.key()), singleLine(describeValue(*it)))
                                  .toUtf8();
    publishSnapshot();
}

void LocalCrashReporter::recordError(const AppError& error)
{
    if (!m_configured.load() || !m_collectionEnabled.load())
        return;
    const QString line = QStringLiteral("[%1] %2 %3: %4\n")
                             .arg(UtcTimestamp::now(), singleLine(error.domain))
                             .arg(error.code)
                             .arg(singleLine(error.localizedDescription));
    const std::lock_guard locker(m_mutex);
    QFile file(nonFatalErrorsPath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        file.write(line.toUtf8());
    }
}

void LocalCrashReporter::log(const QString& breadcrumb)
{
    if (!m_configured.load())
        return;
    const std::lock_guard locker(m_mutex);
    m_breadcrumbs.append(singleLine(breadcrumb.left(maximumBreadcrumbLength)).toUtf8() + '\n');
    while (m_breadcrumbs.size() > maximumBreadcrumbs)
        m_breadcrumbs.removeFirst();
    publishSnapshot();
}

QVariantMap LocalCrashReporter::options() const
{
    const std::lock_guard locker(m_mutex);
    return m_options;
}

QVariantMap LocalCrashReporter::customValues() const
{
    const std::lock_guard locker(m_mutex);
    return m_customValues;
}

QStringList LocalCrashReporter::breadcrumbs() const
{
    const std::lock_guard locker(m_mutex);
    QStringList crumbs;
    crumbs.reserve(m_breadcrumbs.size());
    for (const QByteArray& crumb : m_breadcrumbs)
        crumbs.append(QString::fromUtf8(crumb.chopped(1)));
    return crumbs;
}

void LocalCrashReporter::publishSnapshot()
{
    // Fill the buffer the crash handler is not reading, then switch to it.
    const int spare = 1 - m_publishedSnapshot.load();
    char* out = m_snapshots[spare];
    std::size_t length = 0;
    auto append = [&](const char* data, std::size_t size) {
        size = std::min(size, std::size_t(snapshotCapacity) - length);
        std::memcpy(out + length, data, size);
        length += size;
    };
    auto appendText = [&](const char* text) { append(text, std::strlen(text)); };
    appendText("Custom Keys:\n");
    append(m_customValuesText.constData(), std::size_t(m_customValuesText.size()));
    appendText("Breadcrumbs:\n");
    for (const QByteArray& crumb : std::as_const(m_breadcrumbs))
        append(crumb.constData(), std::size_t(crumb.size()));
    m_snapshotLengths[spare] = length;
    m_publishedSnapshot.store(spare);
}

void LocalCrashReporter::writeFatalReport(const FatalReport& report) noexcept
{
    if (!m_configured.load() || !m_collectionEnabled.load() || m_reportPath[0] == '\0' ||
        m_reportTemporaryPath[0] == '\0')
        return;
    const int fd = ::open(m_reportTemporaryPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    PosixWrite::text(fd, "Crash Report\nTimestamp: ");
    PosixWrite::text(fd, report.timestamp);
    PosixWrite::text(fd, "\nName: ");
    PosixWrite::text(fd, report.name);
    PosixWrite::text(fd, "\nReason: ");
    PosixWrite::text(fd, report.reason);
    PosixWrite::text(fd, "\n");
    const int published = m_publishedSnapshot.load();
    PosixWrite::all(fd, m_snapshots[published],
                    std::min<std::size_t>(m_snapshotLengths[published], snapshotCapacity));
    PosixWrite::text(fd, "Call Stack:\n");
    if (report.frames && report.frameCount > 0)
        backtrace_symbols_fd(report.frames, report.frameCount, fd);
    ::fsync(fd);
    ::close(fd);
    ::rename(m_reportTemporaryPath, m_reportPath);
}
