#pragma once

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <initializer_list>

// Points HOME and the XDG folders into a fresh temporary folder so that no test ever
// touches the real home. Create it before anything reads those variables.
class TestEnvironment
{
public:
    TestEnvironment()
    {
        const QString root = m_dir.path();
        setPath("HOME", root + QStringLiteral("/home"));
        setPath("XDG_CONFIG_HOME", root + QStringLiteral("/home/.config"));
        setPath("XDG_STATE_HOME", root + QStringLiteral("/home/.local/state"));
        setPath("XDG_DATA_HOME", root + QStringLiteral("/home/.local/share"));
        setPath("XDG_CACHE_HOME", root + QStringLiteral("/home/.cache"));
        setPath("XDG_RUNTIME_DIR", root + QStringLiteral("/runtime"));
        QDir().mkpath(root + QStringLiteral("/home/Downloads"));
        QDir().mkpath(root + QStringLiteral("/runtime"));
        QFile::setPermissions(root + QStringLiteral("/runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // No session bus: nothing a test does may reach the desktop of whoever runs it
        // (notifications, tray, shortcuts). Tests that need a bus start a private one.
        qputenv("DBUS_SESSION_BUS_ADDRESS",
                QFile::encodeName(QStringLiteral("unix:path=") + root + "/runtime/no-bus"));
        // Test programs run without a display, also when started by hand.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QString root() const { return m_dir.path(); }
    QString home() const { return m_dir.path() + QStringLiteral("/home"); }

private:
    static void setPath(const char* name, const QString& path)
    {
        qputenv(name, QFile::encodeName(path));
    }

    QTemporaryDir m_dir;
};

// Empties the temporary home left by the case before and makes the named folders in it again
// ("Downloads", "Documents"...); returns the home.
inline QString freshHome(std::initializer_list<const char*> folders)
{
    const QString home = QDir::homePath();
    QDir(home).removeRecursively();
    for (const char* folder : folders) {
        if (!QDir().mkpath(home + QLatin1Char('/') + QLatin1String(folder)))
            qFatal("cannot make %s in %s", folder, qPrintable(home));
    }
    return home;
}

// A case that loads the machine for long (thousands of files, a thousand races): the unit run
// skips it, and it runs under the label "stress" (STOWBIRD_STRESS=1, see tests/CMakeLists.txt).
#define STOWBIRD_STRESS_CASE()                                                                     \
    do {                                                                                           \
        if (qEnvironmentVariableIsEmpty("STOWBIRD_STRESS"))                                        \
            QSKIP("a stress case: it runs under the label stress");                                \
    } while (false)

// QTRY_VERIFY_WITH_TIMEOUT and QTRY_COMPARE_WITH_TIMEOUT look again only every 50 ms: work
// done a millisecond after the first look costs 50. These look after every pass of the event
// loop, at most 10 ms apart (QTest::qWaitFor), then check as QVERIFY2 and QCOMPARE do.
#define STOWBIRD_TRY_VERIFY2(expr, message, timeoutMs)                                             \
    do {                                                                                           \
        (void)QTest::qWaitFor([&] { return bool(expr); }, timeoutMs);                              \
        QVERIFY2(expr, message);                                                                   \
    } while (false)
#define STOWBIRD_TRY_VERIFY(expr, timeoutMs) STOWBIRD_TRY_VERIFY2(expr, #expr, timeoutMs)
#define STOWBIRD_TRY_COMPARE(actual, expected, timeoutMs)                                          \
    do {                                                                                           \
        (void)QTest::qWaitFor([&] { return (actual) == (expected); }, timeoutMs);                  \
        QCOMPARE(actual, expected);                                                                \
    } while (false)

// QTEST_MAIN with a temporary home set up before the application object exists.
#define STOWBIRD_TEST_MAIN(TestObject)                                                             \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        TestEnvironment environment;                                                               \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
