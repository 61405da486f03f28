// The user's folders as the desktop names them: default slots from xdg-user-dirs, the
// watched folder named as it is, the offer to create a missing slot folder (keys and
// buttons), and the rename field selecting the base name.
#include "TestEnvironment.h"
#include "models/AppConfig.h"
#include "platform/FolderCreator.h"
#include "platform/StoragePaths.h"
#include "platform/XdgUserDirs.h"
#include "services/ConfigurationService.h"
#include "views/CreateFolderOffer.h"
#include "views/InlineRenameView.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

void writeUserDirs(const QByteArray& contents)
{
    const QString path = qEnvironmentVariable("XDG_CONFIG_HOME") + "/user-dirs.dirs";
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(contents);
}

} // namespace

class TestDesktopFolders : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QFile::remove(qEnvironmentVariable("XDG_CONFIG_HOME") + "/user-dirs.dirs"); }

    void userDirsAreRead_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected"); // below home, or absolute
        const QByteArray french = "# This file is written by xdg-user-dirs-update\n"
                                  "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n"
                                  "XDG_DOWNLOAD_DIR=\"$HOME/T\xc3\xa9l\xc3\xa9\x63hargements\"\n"
                                  "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n"
                                  "XDG_PICTURES_DIR=\"$HOME/Images\"\n";
        QTest::newRow("french pictures") << french << "PICTURES"
                                         << "~/Images";
        QTest::newRow("french downloads") << french << "DOWNLOAD"
                                          << "~/Téléchargements";
        QTest::newRow("no file") << QByteArray() << "DOCUMENTS"
                                 << "~/Documents";
        QTest::newRow("entry missing") << french << "MUSIC"
                                       << "~/Music";
        QTest::newRow("absolute") << QByteArray("XDG_DOCUMENTS_DIR=\"/srv/docs\"\n") << "DOCUMENTS"
                                  << "/srv/docs";
        QTest::newRow("relative is ignored")
            << QByteArray("XDG_DOCUMENTS_DIR=\"docs\"\n") << "DOCUMENTS"
            << "~/Documents";
        QTest::newRow("switched off means home")
            << QByteArray("XDG_DOCUMENTS_DIR=\"$HOME/\"\n") << "DOCUMENTS"
            << "~";
        QTest::newRow("commented out")
            << QByteArray("#XDG_PICTURES_DIR=\"$HOME/Fotos\"\n") << "PICTURES"
            << "~/Pictures";
    }

    void userDirsAreRead()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        if (!file.isEmpty())
            writeUserDirs(file);
        const QString fallback = name == "MUSIC"      ? "Music"
                                 : name == "PICTURES" ? "Pictures"
                                                      : "Documents";
        QCOMPARE(StoragePaths::tildePath(XdgUserDirs::directory(name, fallback)), expected);
    }

    // A French desktop: the default slots point at its folders, written with "~".
    void defaultSlotsFollowTheUserDirs()
    {
        writeUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\nXDG_PICTURES_DIR=\"$HOME/Images\"\n");
        const QList<DestinationSlot> defaults = ConfigurationService::defaultSlots();
        QCOMPARE(defaults.size(), 4);
        QCOMPARE(defaults[0].path, QStringLiteral("~/Documents"));
        QCOMPARE(defaults[2].path, QStringLiteral("~/Documents/Finance"));
        QCOMPARE(defaults[3].path, QStringLiteral("~/Images/Screenshots"));
        writeUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
        QCOMPARE(ConfigurationService::defaultSlots()[2].path,
                 QStringLiteral("~/Dokumente/Finance"));
    }

    void tildePathOnlyAbbreviatesWholeFolders()
    {
        const QString home = QDir::homePath();
        QCOMPARE(StoragePaths::tildePath(home), QStringLiteral("~"));
        QCOMPARE(StoragePaths::tildePath(home + "/Téléchargements/"),
                 QStringLiteral("~/Téléchargements"));
        QCOMPARE(StoragePaths::tildePath(home + "x/Downloads"), home + "x/Downloads");
        QCOMPARE(StoragePaths::tildePath("/srv/Downloads"), QStringLiteral("/srv/Downloads"));
    }

    void offerKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("accepted");
        QTest::addColumn<int>("cancelled");
        QTest::newRow("Return creates") << int(Qt::Key_Return) << 1 << 0;
        QTest::newRow("Enter creates") << int(Qt::Key_Enter) << 1 << 0;
        QTest::newRow("Escape cancels") << int(Qt::Key_Escape) << 0 << 1;
        QTest::newRow("other keys do nothing") << int(Qt::Key_1) << 0 << 0;
    }

    void offerKeys()
    {
        QFETCH(int, key);
        QFETCH(int, accepted);
        QFETCH(int, cancelled);
        QWidget window;
        window.resize(760, 480);
        int accepts = 0;
        int cancels = 0;
        auto* offer = new CreateFolderOffer(
            CreateFolderOffer::moveQuestion(QStringLiteral("~/Documents/Finance")),
            QStringLiteral("Create and Move"), [&accepts] { ++accepts; }, [&cancels] { ++cancels; },
            &window);
        window.show();
        offer->show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(offer->question(),
                 QStringLiteral("Create ~/Documents/Finance and move the item there?"));
        QCOMPARE(offer->geometry(), window.rect());
        QTest::keyClick(offer, Qt::Key(key));
        QCOMPARE(accepts, accepted);
        QCOMPARE(cancels, cancelled);
        // An answer is final: a second key does not answer again.
        QTest::keyClick(offer, Qt::Key_Return);
        QCOMPARE(accepts + cancels, accepted + cancelled + (accepted + cancelled == 0 ? 1 : 0));
    }

    void offerButtonsAnswer()
    {
        QWidget window;
        window.resize(760, 480);
        int accepts = 0;
        int cancels = 0;
        CreateFolderOffer offer(
            CreateFolderOffer::createQuestion(QStringLiteral("~/Projects")),
            QStringLiteral("Create Folder"), [&accepts] { ++accepts; }, [&cancels] { ++cancels; },
            &window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(offer.acceptButton()->isDefault());
        // Return on a focused Cancel button cancels, as a button would.
        offer.cancelButton()->setFocus();
        QTest::keyClick(&offer, Qt::Key_Return);
        QCOMPARE(cancels, 1);
        QCOMPARE(accepts, 0);
    }

    void folderCreatorMakesParentsAndReportsFailures()
    {
        const QString base = QDir::homePath() + "/Documents/Finance/2026";
        QString error;
        QVERIFY(FolderCreator::createNow(base, &error));
        QVERIFY(QFileInfo(base).isDir());
        // A file in the way is not a folder, and says so.
        QFile blocker(QDir::homePath() + "/blocker");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!FolderCreator::createNow(blocker.fileName(), &error));
        QVERIFY(error.contains("is not a folder"));
        QVERIFY(!FolderCreator::createNow(blocker.fileName() + "/below", &error));
        QVERIFY(!error.isEmpty());

        bool done = false;
        QObject context;
        FolderCreator::create(QDir::homePath() + "/Developer/Projects", &context,
                              [&done](bool ok, const QString&) { done = ok; });
        QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
        QVERIFY(QFileInfo(QDir::homePath() + "/Developer/Projects").isDir());
    }

    void renameSelectsTheBaseName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("selected");
        QTest::newRow("pdf") << "report.pdf"
                             << "report";
        QTest::newRow("double extension") << "backup.tar.gz"
                                          << "backup";
        QTest::newRow("dots in the name") << "v1.2 notes.txt"
                                          << "v1.2 notes";
        QTest::newRow("no extension") << "Makefile"
                                      << "Makefile";
        QTest::newRow("dot file") << ".bashrc"
                                  << ".bashrc";
        QTest::newRow("unknown extension") << "data.xyz123"
                                           << "data";
    }

    void renameSelectsTheBaseName()
    {
        QFETCH(QString, name);
        QFETCH(QString, selected);
        QWidget window;
        auto* view = new InlineRenameView(name, {}, {}, {}, &window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(view->field()->hasFocus());
        QCOMPARE(view->field()->selectedText(), selected);
        // Typing replaces the base name and keeps the extension.
        QTest::keyClicks(view->field(), QStringLiteral("new"));
        QCOMPARE(view->field()->text(), QStringLiteral("new") + name.mid(selected.size()));
    }
};

STOWBIRD_TEST_MAIN(TestDesktopFolders)
#include "TestDesktopFolders.moc"
