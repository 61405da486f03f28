#include "TestEnvironment.h"
#include "TestFiles.h"
#include "models/AppConfig.h"
#include "models/SkipList.h"
#include "services/ConfigurationService.h"
#include "services/TriageQueueManager.h"

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using TestFiles::modeOf;

// The names in folder, hidden ones too: a leftover temporary file shows here.
QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

constexpr auto& readAll = TestFiles::readFile;
constexpr auto& writeAll = TestFiles::writeFile;

// Collects what is printed to standard output while it lives.
class StdoutCapture
{
public:
    StdoutCapture()
    {
        std::fflush(stdout);
        m_saved = ::dup(STDOUT_FILENO);
        m_file.open();
        ::dup2(m_file.handle(), STDOUT_FILENO);
    }
    ~StdoutCapture() { restore(); }

    QString text()
    {
        restore();
        m_file.seek(0);
        return QString::fromUtf8(m_file.readAll());
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stdout);
        ::dup2(m_saved, STDOUT_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved = -1;
};

const QByteArray validDocument = R"({
  "autoTrashPatterns": ["*.tmp"],
  "destinationSlots": [{"slot": 9, "name": "Nine", "path": "\/srv\/nine"},
                       {"slot": 1, "name": "One", "path": "~/one"}],
  "general": {"launchAtLogin": false, "globalHotkey": "Ctrl+D", "debounceSeconds": 3,
              "autoPurgeInstallersAfterDays": 7, "anonymousDiagnosticsEnabled": false},
  "version": 2
})";

} // namespace

class TestConfigurationService : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_counter = 0;

    QString freshFolder()
    {
        return m_dir.path() + QStringLiteral("/c%1/stowbird").arg(++m_counter);
    }

private slots:
    void firstStartWritesDefaults()
    {
        const QString folder = freshFolder();
        ConfigurationService service(folder);
        QCOMPARE(service.config(), AppConfig());
        QCOMPARE(service.configFilePath(), folder + QStringLiteral("/config.json"));

        const QByteArray text = readAll(service.configFilePath());
        QVERIFY(text.startsWith("{\n  \"autoTrashPatterns\": [\n    \"*.crdownload\",\n"));
        QVERIFY(text.contains("\"path\": \"~\\/Documents\""));
        QVERIFY(!text.contains("~/"));
        // Sorted keys at every level.
        QVERIFY(text.indexOf("\"destinationSlots\"") < text.indexOf("\"general\""));
        QVERIFY(text.indexOf("\"general\"") < text.indexOf("\"version\": 1"));
        QVERIFY(text.indexOf("\"anonymousDiagnosticsEnabled\"") <
                text.indexOf("\"autoPurgeInstallersAfterDays\""));
        QVERIFY(text.indexOf("\"name\": \"Documents\"") < text.indexOf("\"path\": \"~\\/Doc"));
        QVERIFY(text.contains("\"debounceSeconds\": 1.5,"));

        // What was written reads back as the same configuration.
        ConfigurationService again(folder);
        QCOMPARE(again.config(), AppConfig());
        QCOMPARE(readAll(again.configFilePath()), text);
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("valid");

        const QByteArray base =
            R"({"autoTrashPatterns": [], "destinationSlots": [], "general": %G%, "version": 1})";
        auto withGeneral = [&](const char* general) {
            QByteArray b = base;
            return b.replace("%G%", general);
        };
        QTest::newRow("all present") << validDocument << true;
        QTest::newRow("empty general") << withGeneral("{}") << true;
        QTest::newRow("null general values")
            << withGeneral(
                   R"({"launchAtLogin": null, "debounceSeconds": null, "globalHotkey": null,
                "autoPurgeInstallersAfterDays": null, "anonymousDiagnosticsEnabled": null})")
            << true;
        QTest::newRow("unknown keys")
            << QByteArray(
                   R"({"autoTrashPatterns": [], "destinationSlots": [{"slot": 1, "name": "a",
                "path": "b", "colour": "red"}], "general": {"theme": 3}, "version": 1,
                "extra": [1, 2]})")
            << true;
        QTest::newRow("whole float as integer")
            << withGeneral(R"({"autoPurgeInstallersAfterDays": 14.0})") << true;
        QTest::newRow("missing autoTrashPatterns")
            << QByteArray(R"({"destinationSlots": [], "general": {}, "version": 1})") << false;
        QTest::newRow("missing version")
            << QByteArray(R"({"autoTrashPatterns": [], "destinationSlots": [], "general": {}})")
            << false;
        QTest::newRow("missing general")
            << QByteArray(R"({"autoTrashPatterns": [], "destinationSlots": [], "version": 1})")
            << false;
        QTest::newRow("null root key")
            << QByteArray(R"({"autoTrashPatterns": null, "destinationSlots": [], "general": {},
                "version": 1})")
            << false;
        QTest::newRow("debounce as string") << withGeneral(R"({"debounceSeconds": "2"})") << false;
        QTest::newRow("bool as number") << withGeneral(R"({"launchAtLogin": 1})") << false;
        QTest::newRow("fractional integer")
            << withGeneral(R"({"autoPurgeInstallersAfterDays": 1.5})") << false;
        QTest::newRow("integer too large")
            << withGeneral(R"({"autoPurgeInstallersAfterDays": 99999999999})") << false;
        QTest::newRow("number beyond double")
            << withGeneral(R"({"debounceSeconds": 1e999})") << false;
        QTest::newRow("slot without path")
            << QByteArray(R"({"autoTrashPatterns": [], "destinationSlots": [{"slot": 1,
                "name": "a"}], "general": {}, "version": 1})")
            << false;
        QTest::newRow("slot number as string")
            << QByteArray(R"({"autoTrashPatterns": [], "destinationSlots": [{"slot": "1",
                "name": "a", "path": "b"}], "general": {}, "version": 1})")
            << false;
        QTest::newRow("pattern not a string")
            << QByteArray(R"({"autoTrashPatterns": [3], "destinationSlots": [], "general": {},
                "version": 1})")
            << false;
        QTest::newRow("root is an array") << QByteArray("[]") << false;
        QTest::newRow("truncated") << validDocument.left(validDocument.size() / 2) << false;
        QTest::newRow("empty file") << QByteArray() << false;
        QTest::newRow("invalid UTF-8")
            << QByteArray("{\"autoTrashPatterns\": [\"\xff\"], \"destinationSlots\": [], "
                          "\"general\": {}, \"version\": 1}")
            << false;
    }

    void decoding()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, valid);

        const QString folder = freshFolder();
        const QString path = folder + QStringLiteral("/config.json");
        writeAll(path, json);

        StdoutCapture capture;
        ConfigurationService service(folder);
        const QString printed = capture.text();

        if (valid) {
            QVERIFY2(printed.isEmpty(), qPrintable(printed));
            // What the file says, not the defaults of a failed load.
            QCOMPARE(service.config(), *AppConfig::decode(json));
            QVERIFY(service.keptBadFilePath().isEmpty());
        } else {
            QCOMPARE(service.config(), AppConfig());
            QVERIFY2(
                printed.startsWith(QStringLiteral("[ConfigurationService] Error loading config: ")),
                qPrintable(printed));
            QVERIFY(printed.endsWith(QStringLiteral(", fallback to defaults\n")));
            // The bad file is kept aside, as it was, before anything can be saved over it.
            QVERIFY(!QFileInfo::exists(path));
            QVERIFY(service.keptBadFilePath().startsWith(path + QStringLiteral(".bad-")));
            QCOMPARE(readAll(service.keptBadFilePath()), json);
        }
    }

    void decodedValues()
    {
        const auto config = AppConfig::decode(validDocument);
        QVERIFY(config);
        QCOMPARE(config->version, 2);
        QCOMPARE(config->autoTrashPatterns, QStringList{QStringLiteral("*.tmp")});
        // Kept as written: no sorting, escaped slashes read as plain ones.
        QCOMPARE(config->destinationSlots.size(), 2);
        QCOMPARE(config->destinationSlots[0], (DestinationSlot{9, "Nine", "/srv/nine"}));
        QCOMPARE(config->destinationSlots[1], (DestinationSlot{1, "One", "~/one"}));
        QCOMPARE(config->general.launchAtLogin, false);
        QCOMPARE(config->general.globalHotkey, QStringLiteral("Ctrl+D"));
        QCOMPARE(config->general.debounceSeconds, 3.0);
        QCOMPARE(config->general.autoPurgeInstallersAfterDays, 7);
        QCOMPARE(config->general.anonymousDiagnosticsEnabled, false);

        const auto defaults = AppConfig::decode(
            R"({"autoTrashPatterns": [], "destinationSlots": [], "general":
                {"debounceSeconds": null}, "version": 1})");
        QVERIFY(defaults);
        QCOMPARE(defaults->general, AppConfig::General());
        QCOMPARE(defaults->general.debounceSeconds, 1.5);
    }

    // The other inboxes: written like the slots' paths and read back; a file from before
    // them loads with none; entries that are not folder paths are left out with a note, and
    // never fail the load or send the file aside.
    void additionalInboxes()
    {
        const QString folder = freshFolder();
        {
            ConfigurationService service(folder);
            AppConfig config = service.config();
            config.additionalInboxes = {QStringLiteral("~/Desktop"), QStringLiteral("/srv/scans")};
            QVERIFY(service.saveConfig(config));
        }
        QVERIFY(readAll(folder + QStringLiteral("/config.json"))
                    .contains("\"additionalInboxes\": [\n    \"~\\/Desktop\",\n    "
                              "\"\\/srv\\/scans\"\n  ],"));
        ConfigurationService again(folder);
        QCOMPARE(again.config().additionalInboxes,
                 (QStringList{QStringLiteral("~/Desktop"), QStringLiteral("/srv/scans")}));

        QStringList notes;
        const auto older = AppConfig::decode(validDocument, nullptr, &notes);
        QVERIFY(older);
        QVERIFY(older->additionalInboxes.isEmpty());
        QVERIFY(notes.isEmpty());

        const auto withInboxes = [](const char* inboxes) {
            return QByteArray(R"({"autoTrashPatterns": [], "destinationSlots": [], "general": {},
                "version": 1, "additionalInboxes": %I%})")
                .replace("%I%", inboxes);
        };
        const auto mixed = AppConfig::decode(
            withInboxes(R"(["~/Desktop", 3, "", null, "  ", {"path": "~/x"}, "~/Pictures/Shots"])"),
            nullptr, &notes);
        QVERIFY(mixed);
        QCOMPARE(mixed->additionalInboxes,
                 (QStringList{QStringLiteral("~/Desktop"), QStringLiteral("~/Pictures/Shots")}));
        QCOMPARE(notes.size(), 5);
        QVERIFY2(notes.first().startsWith(QStringLiteral("additionalInboxes[1]: ")),
                 qPrintable(notes.first()));
        notes.clear();
        const auto notAList = AppConfig::decode(withInboxes(R"("~/Desktop")"), nullptr, &notes);
        QVERIFY(notAList);
        QVERIFY(notAList->additionalInboxes.isEmpty());
        QCOMPARE(notes.size(), 1);

        const QString bad = freshFolder();
        writeAll(bad + QStringLiteral("/config.json"), withInboxes(R"([7, "~/Desktop"])"));
        StdoutCapture capture;
        ConfigurationService service(bad);
        QVERIFY2(capture.text().isEmpty(), "the load fell back to the defaults");
        QVERIFY(service.keptBadFilePath().isEmpty());
        QCOMPARE(service.config().additionalInboxes, QStringList{QStringLiteral("~/Desktop")});
    }

    void oversizedFileFallsBack()
    {
        const QString folder = freshFolder();
        const QString path = folder + QStringLiteral("/config.json");
        QByteArray huge = validDocument;
        huge.append(QByteArray(ConfigurationService::maximumFileSize, ' '));
        writeAll(path, huge);
        StdoutCapture capture;
        ConfigurationService service(folder);
        QVERIFY(capture.text().contains(QStringLiteral("Error loading config")));
        QCOMPARE(service.config(), AppConfig());
        QCOMPARE(QFileInfo(service.keptBadFilePath()).size(), huge.size());
    }

    // One stray comma: the user's file is kept aside, the window is told once, and saving
    // the defaults never writes over it, however often it happens within one second.
    void badFileIsKeptAsideAndNeverOverwritten()
    {
        const QString folder = freshFolder();
        const QString path = folder + QStringLiteral("/config.json");
        QByteArray stray = validDocument;
        stray.replace("\"version\": 2", "\"version\": 2,");
        QStringList kept;
        for (int start = 0; start < 3; ++start) {
            writeAll(path, stray + QByteArray::number(start));
            StdoutCapture capture;
            ConfigurationService service(folder);
            QCOMPARE(service.config(), AppConfig());
            const QString keptPath = service.keptBadFilePath();
            QVERIFY(QRegularExpression(QRegularExpression::escape(path) +
                                       QStringLiteral("\\.bad-\\d{8}T\\d{6}Z(-\\d+)?$"))
                        .match(keptPath)
                        .hasMatch());
            QCOMPARE(service.pendingNotice(),
                     QStringLiteral("Your settings file could not be read; Stowbird started with "
                                    "defaults and kept your file as ") +
                         keptPath);
            QSignalSpy told(&service, &ConfigurationService::pendingNoticeChanged);
            service.acknowledgeNotice();
            service.acknowledgeNotice();
            QCOMPARE(told.count(), 1);
            QVERIFY(service.pendingNotice().isEmpty());

            AppConfig changed = service.config();
            changed.general.debounceSeconds = 2.0;
            service.saveConfig(changed);
            QCOMPARE(AppConfig::decode(readAll(path)), changed);
            kept << keptPath;
        }
        kept.removeDuplicates();
        QCOMPARE(kept.size(), 3);
        for (int start = 0; start < 3; ++start)
            QCOMPARE(readAll(kept[start]), stray + QByteArray::number(start));
    }

    void nonRegularConfigIsNotOpened()
    {
        const QString folder = freshFolder();
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/config.json");
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        StdoutCapture capture;
        // Opening the FIFO would block here for good.
        ConfigurationService service(folder);
        QVERIFY(capture.text().contains(QStringLiteral("not a regular file")));
        QCOMPARE(service.config(), AppConfig());
        QVERIFY(QFileInfo(service.keptBadFilePath()).exists());
    }

    void saveSignalsOnlyOnChange()
    {
        const QString folder = freshFolder();
        ConfigurationService service(folder);
        QSignalSpy spy(&service, &ConfigurationService::configChanged);

        // Equal value: the file is rewritten (here: repaired), no signal.
        writeAll(service.configFilePath(), "garbage");
        service.saveConfig(service.config());
        QCOMPARE(spy.count(), 0);
        QCOMPARE(AppConfig::decode(readAll(service.configFilePath())), AppConfig());

        AppConfig changed = service.config();
        changed.general.debounceSeconds = 2.25;
        service.saveConfig(changed);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<AppConfig>().general.debounceSeconds, 2.25);
        QCOMPARE(ConfigurationService(folder).config(), changed);
    }

    void failedSaveKeepsValue()
    {
        // The config folder's parent is a file, so the folder cannot be created.
        const QString blocker = m_dir.path() + QStringLiteral("/blocker");
        writeAll(blocker, "x");
        StdoutCapture capture;
        ConfigurationService service(blocker + QStringLiteral("/stowbird"));
        AppConfig changed = service.config();
        changed.version = 5;
        service.saveConfig(changed);
        const QString printed = capture.text();
        QVERIFY(printed.contains(QStringLiteral("[ConfigurationService] Error loading config: ")));
        QVERIFY(printed.contains(QStringLiteral("[ConfigurationService] Failed to save config: ")));
        QCOMPARE(service.config().version, 5);
    }

    void updateSlot()
    {
        ConfigurationService service(freshFolder());
        service.setDestination(7, QStringLiteral("Seven"), QStringLiteral("/tmp/seven"));
        service.setDestination(2, QStringLiteral("Code"), QStringLiteral("~/code"));
        service.updateSlot(DestinationSlot{5, QStringLiteral("Five"), QStringLiteral("five")});

        QList<int> numbers;
        for (const DestinationSlot& slot : service.config().destinationSlots)
            numbers.append(slot.slot);
        QCOMPARE(numbers, (QList<int>{1, 2, 3, 4, 5, 7}));
        QCOMPARE(service.config().destinationSlots[1], (DestinationSlot{2, "Code", "~/code"}));
        // Saved, not only held in memory.
        QCOMPARE(ConfigurationService(service.configDirectory()).config(), service.config());
    }

    void slotResolution()
    {
        const QString home = QDir::homePath();
        QCOMPARE(DestinationSlot({1, {}, QStringLiteral("~/Documents")}).resolvedPath(),
                 home + QStringLiteral("/Documents"));
        QCOMPARE(DestinationSlot({1, {}, QStringLiteral("~")}).resolvedPath(), home);
        QCOMPARE(DestinationSlot({1, {}, QStringLiteral("relative/x")}).resolvedPath(),
                 QStringLiteral("relative/x"));
        QCOMPARE(DestinationSlot({1, {}, QStringLiteral("~nosuchuser12345/x")}).resolvedPath(),
                 QStringLiteral("~nosuchuser12345/x"));
        QCOMPARE(DestinationSlot({1, {}, QStringLiteral("~/a")}).resolvedURL(),
                 QUrl::fromLocalFile(home + QStringLiteral("/a")));

        QDir().mkpath(home + QStringLiteral("/Exists"));
        writeAll(home + QStringLiteral("/plain-file"), "x");
        QVERIFY(DestinationSlot({1, {}, QStringLiteral("~/Exists")}).isAvailable());
        QVERIFY(!DestinationSlot({1, {}, QStringLiteral("~/Missing")}).isAvailable());
        QVERIFY(!DestinationSlot({1, {}, QStringLiteral("~/plain-file")}).isAvailable());
        QVERIFY(!DestinationSlot({1, {}, QString()}).isAvailable());
    }

    // Settings and the skip list name the user's files: created 0600 in 0700 folders, and
    // tightened at start when an older version made them readable by others.
    void filesArePrivate()
    {
        const QString fresh = freshFolder();
        ConfigurationService service(fresh);
        TriageQueueManager queue(fresh);
        const QString download = fresh + QStringLiteral("/a.zip");
        writeAll(download, "zip");
        queue.enqueue(QUrl::fromLocalFile(download));
        queue.skipCurrent();
        queue.waitForSaves();
        QVERIFY(QFileInfo::exists(queue.skipCacheFilePath()));
        QCOMPARE(modeOf(fresh), 0700u);
        QCOMPARE(modeOf(fresh + QStringLiteral("/config.json")), 0600u);
        QCOMPARE(modeOf(fresh + QStringLiteral("/skipped_items.json")), 0600u);

        const QString old = freshFolder();
        writeAll(old + QStringLiteral("/config.json"), AppConfig().encode());
        writeAll(old + QStringLiteral("/skipped_items.json"), "[]");
        for (const char* name : {"/config.json", "/skipped_items.json"})
            QCOMPARE(::chmod(QFile::encodeName(old + name).constData(), 0644), 0);
        QCOMPARE(::chmod(QFile::encodeName(old).constData(), 0755), 0);
        ConfigurationService again(old);
        TriageQueueManager queueAgain(old);
        QCOMPARE(modeOf(old), 0700u);
        QCOMPARE(modeOf(old + QStringLiteral("/config.json")), 0600u);
        QCOMPARE(modeOf(old + QStringLiteral("/skipped_items.json")), 0600u);
    }

    // A full disk (a small tmpfs, filled up) fails every save: the files on it keep their
    // bytes, nothing is left behind, and each failure is announced with its reason.
    void savesOnAFullDiskLeaveTheFilesAsTheyWere()
    {
        const QString folder = freshFolder();
        QVERIFY(QDir().mkpath(folder));
        if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                    "size=64k,mode=0700") != 0)
            QSKIP(qPrintable(QStringLiteral("cannot mount a tmpfs (%1); needs root")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno)))));
        const auto unmount =
            qScopeGuard([&] { ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH); });
        ConfigurationService service(folder);
        TriageQueueManager queue(folder);
        const QString first = folder + QStringLiteral("/first.zip");
        const QString second = folder + QStringLiteral("/second.zip");
        writeAll(first, "1");
        writeAll(second, "2");
        queue.enqueue(QUrl::fromLocalFile(first));
        queue.enqueue(QUrl::fromLocalFile(second));
        queue.skipCurrent();
        queue.waitForSaves();
        const QByteArray config = readAll(service.configFilePath());
        const QByteArray skips = readAll(queue.skipCacheFilePath());
        QVERIFY(config.size() > 100);
        QVERIFY(skips.contains("first.zip"));
        const QStringList names = namesIn(folder);

        {
            QFile filler(folder + QStringLiteral("/filler"));
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray block(4096, 'f');
            while (filler.write(block) == block.size()) {
            }
        }
        QSignalSpy configFailures(&service, &ConfigurationService::saveFailed);
        QSignalSpy queueFailures(&queue, &TriageQueueManager::saveFailed);
        AppConfig changed = service.config();
        changed.general.debounceSeconds = 4.5;
        changed.destinationSlots.append({5, QStringLiteral("Five"), QStringLiteral("~/five")});
        QVERIFY(!service.saveConfig(changed));
        queue.skipCurrent(); // the Tab key
        queue.waitForSaves();

        QCOMPARE(readAll(service.configFilePath()), config);
        QCOMPARE(readAll(queue.skipCacheFilePath()), skips);
        QStringList expected = names;
        expected.append(QStringLiteral("filler"));
        expected.sort();
        QCOMPARE(namesIn(folder), expected);
        QCOMPARE(configFailures.count(), 1);
        QCOMPARE(queueFailures.count(), 1);
        for (const QString& message :
             {configFailures.at(0).at(0).toString(), queueFailures.at(0).at(0).toString()})
            QVERIFY2(message.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))),
                     qPrintable(message));
        // The value stays for this run; the next start reads the old file.
        QCOMPARE(service.config(), changed);
        QCOMPARE(ConfigurationService(folder).config(), AppConfig());
    }

    // A config the user made read-only (0400 in a 0500 folder) stays as it is, modes
    // included, even for a process that permissions do not stop; the save says why it failed.
    void readOnlyFilesAreNotWrittenOrMadeWritable()
    {
        const QString folder = freshFolder();
        ConfigurationService(folder).setDestination(4, QStringLiteral("Four"),
                                                    QStringLiteral("~/four"));
        const QString path = folder + QStringLiteral("/config.json");
        writeAll(folder + QStringLiteral("/skipped_items.json"), "[]");
        const QByteArray config = readAll(path);
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0400), 0);
        QCOMPARE(::chmod(QFile::encodeName(folder + "/skipped_items.json").constData(), 0400), 0);
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0500), 0);
        const auto restore =
            qScopeGuard([&] { ::chmod(QFile::encodeName(folder).constData(), 0700); });

        ConfigurationService service(folder);
        TriageQueueManager queue(folder);
        QCOMPARE(service.config().destinationSlots.last().name, QStringLiteral("Four"));
        QSignalSpy failures(&service, &ConfigurationService::saveFailed);
        QVERIFY(!service.saveConfig(AppConfig()));
        const QString download = m_dir.path() + QStringLiteral("/a.zip");
        writeAll(download, "a");
        QSignalSpy queueFailures(&queue, &TriageQueueManager::saveFailed);
        queue.enqueue(QUrl::fromLocalFile(download));
        queue.skipCurrent();
        queue.waitForSaves();

        QCOMPARE(readAll(path), config);
        QCOMPARE(readAll(folder + QStringLiteral("/skipped_items.json")), QByteArray("[]"));
        QCOMPARE(modeOf(folder), 0500u);
        QCOMPARE(modeOf(path), 0400u);
        QCOMPARE(modeOf(folder + QStringLiteral("/skipped_items.json")), 0400u);
        QCOMPARE(failures.count(), 1);
        QCOMPARE(queueFailures.count(), 1);
        QVERIFY2(failures.at(0).at(0).toString().contains(QStringLiteral("read-only")),
                 qPrintable(failures.at(0).at(0).toString()));

        // The folder writable again, the file itself still read-only.
        ::chmod(QFile::encodeName(folder).constData(), 0700);
        QVERIFY(!service.saveConfig(AppConfig()));
        QVERIFY2(failures.at(1).at(0).toString().endsWith(
                     QStringLiteral("the file is read-only; it was left as it is")),
                 qPrintable(failures.at(1).at(0).toString()));
        QCOMPARE(readAll(path), config);
        QCOMPARE(modeOf(path), 0400u);
        // Once the user allows it again, the save goes through with the file's own mode.
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0640), 0);
        QVERIFY(service.saveConfig(AppConfig()));
        QCOMPARE(modeOf(path), 0600u);
        QCOMPARE(ConfigurationService(folder).config(), AppConfig());
    }

    void skipList()
    {
        const SkipList::Entries entries{
            {QStringLiteral("/home/u/Downloads/b.zip"), {2049, 42, 1700000000123456789}},
            {QStringLiteral("/home/u/Downloads/a \"quoted\".pdf"), {0, 7, 0}},
            {QStringLiteral("/home/u/Downloads/\u00e9t\u00e9"), {}}};
        // The list: path strings only, sorted, compact, slashes escaped.
        const QByteArray paths = SkipList::encodePaths(entries.keys());
        QCOMPARE(paths, QStringLiteral("[\"\\/home\\/u\\/Downloads\\/a \\\"quoted\\\".pdf\","
                                       "\"\\/home\\/u\\/Downloads\\/b.zip\","
                                       "\"\\/home\\/u\\/Downloads\\/\u00e9t\u00e9\"]")
                            .toUtf8());
        QCOMPARE(SkipList::decode(paths),
                 (SkipList::Entries{{QStringLiteral("/home/u/Downloads/b.zip"), {}},
                                    {QStringLiteral("/home/u/Downloads/a \"quoted\".pdf"), {}},
                                    {QStringLiteral("/home/u/Downloads/\u00e9t\u00e9"), {}}}));
        // The identities beside it.
        const QByteArray identities = SkipList::encodeIdentities(entries);
        const QByteArray first = "[{\"born\":0,\"device\":0,\"inode\":7,\"path\":\"\\/home\\/u\\/"
                                 "Downloads\\/a \\\"quoted\\\".pdf\"},";
        QVERIFY2(identities.startsWith(first), identities.constData());
        QVERIFY(identities.endsWith("{\"path\":\"\\/home\\/u\\/Downloads\\/\xc3\xa9t\xc3\xa9\"}]"));
        QCOMPARE(SkipList::decode(identities), entries);
        QCOMPARE(SkipList::decode("[]"), SkipList::Entries());
        // Lists of the previous version: objects with the inode and a time, which is not kept.
        QCOMPARE(SkipList::decode(R"([{"inode":9,"mtime":-5,"path":"\/a"},"\/b",{"path":"/c"}])"),
                 (SkipList::Entries{{QStringLiteral("/a"), {0, 9, 0}},
                                    {QStringLiteral("/b"), {}},
                                    {QStringLiteral("/c"), {}}}));
        QCOMPARE(SkipList::decode("[\"/a\", \"\\/b\", \"/a\"]"),
                 (SkipList::Entries{{QStringLiteral("/a"), {}}, {QStringLiteral("/b"), {}}}));
        QVERIFY(!SkipList::decode(R"(["/a", 1])"));
        QVERIFY(!SkipList::decode("[{\"inode\": 3}]"));
        QVERIFY(!SkipList::decode(R"({"a": "b"})"));
        QVERIFY(!SkipList::decode(R"(["/a")"));
        QVERIFY(!SkipList::decode(""));

        // Same file: same inode and, where both are known, device and birth time.
        const SkipList::Identity skipped{2049, 42, 100};
        QVERIFY(skipped.isSameFile({2049, 42, 100}));
        QVERIFY(!skipped.isSameFile({2049, 43, 100}));
        QVERIFY(!skipped.isSameFile({2050, 42, 100}));
        QVERIFY(!skipped.isSameFile({2049, 42, 101})); // a new file on a freed inode number
        QVERIFY(!skipped.isSameFile({}));
        QVERIFY(SkipList::Identity({0, 42, 0}).isSameFile({2049, 42, 100}));
        QVERIFY(SkipList::Identity({0, 42, 0}).isCompletedBy({2049, 42, 100}));
        QVERIFY(!skipped.isCompletedBy({2049, 42, 100}));
    }
};

STOWBIRD_TEST_MAIN(TestConfigurationService)
#include "TestConfigurationService.moc"
