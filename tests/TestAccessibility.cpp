// What assistive technology sees of the triage window: the accessible tree that Qt hands
// to the AT-SPI bridge. Every control a user can reach has a name and a description, the
// window is a window (not a filler), and the item card speaks the current download.
#include "HudTestServices.h"
#include "TestEnvironment.h"
#include "app/AccessibleRoles.h"
#include "app/AppDelegate.h"
#include "app/TriageHUDPanel.h"
#include "models/AppConfig.h"
#include "models/TriageItem.h"
#include "services/TriageActionController.h"
#include "views/ActionPaletteView.h"
#include "views/StatusAnnouncer.h"
#include "views/TriageContainerView.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QTest>

namespace {

bool isControl(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::Slider:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::SpinBox:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::ListItem:
        return true;
    default:
        return false;
    }
}

QString describe(QAccessibleInterface* iface)
{
    QObject* object = iface->object();
    return QStringLiteral("%1 '%2' (%3)")
        .arg(object ? QString::fromLatin1(object->metaObject()->className()) : QStringLiteral("?"),
             object ? object->objectName() : QString())
        .arg(int(iface->role()));
}

// Every visible control below root that lacks a name or a description.
void collectUnnamed(QAccessibleInterface* iface, QStringList* missing, int* controls)
{
    if (!iface || iface->state().invisible)
        return;
    if (isControl(iface->role())) {
        ++*controls;
        if (iface->text(QAccessible::Name).trimmed().isEmpty())
            missing->append(QStringLiteral("no name: ") + describe(iface));
        if (iface->text(QAccessible::Description).trimmed().isEmpty())
            missing->append(QStringLiteral("no description: ") + describe(iface));
    }
    for (int i = 0; i < iface->childCount(); ++i)
        collectUnnamed(iface->child(i), missing, controls);
}

void writeFile(const QString& path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write("%PDF-1.4\n");
    file.resize(size);
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<HudTestServices<>> m_services;
    std::unique_ptr<AppDelegate> m_delegate;

    void verifyTree(const char* what)
    {
        QStringList missing;
        int controls = 0;
        collectUnnamed(QAccessible::queryAccessibleInterface(m_delegate->hudPanel()), &missing,
                       &controls);
        qInfo("%s: %d controls", what, controls);
        QVERIFY2(controls > 0, what);
        QVERIFY2(missing.isEmpty(), qPrintable(QString::fromLatin1(what) + QLatin1Char('\n') +
                                               missing.join(QLatin1Char('\n'))));
    }

private slots:
    void initTestCase()
    {
        const QString downloads = QDir::homePath() + QStringLiteral("/Downloads");
        writeFile(downloads + QStringLiteral("/report.pdf"), 2'100'000);
        AppDelegate::Options options;
        options.downloadsDirectory = downloads;
        options.bindGlobalShortcut = false;
        m_services = std::make_unique<HudTestServices<>>(QDir::homePath());
        m_delegate = std::make_unique<AppDelegate>(m_services->appServices(), options);
        m_delegate->applicationDidFinishLaunching();
        QVERIFY(QTest::qWaitForWindowExposed(m_delegate->hudPanel()));
    }

    void cleanupTestCase()
    {
        m_delegate->applicationWillTerminate();
        m_delegate.reset();
    }

    void windowIsAWindowNotAFiller()
    {
        QAccessibleInterface* window =
            QAccessible::queryAccessibleInterface(m_delegate->hudPanel());
        QVERIFY(window);
        QCOMPARE(window->role(), QAccessible::Window);
        QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Stowbird"));
    }

    void cardSpeaksTheItem()
    {
        // Downloads is listed off the GUI thread at launch: the item arrives a moment later.
        QTRY_VERIFY_WITH_TIMEOUT(m_delegate->waitingCount() == 1, 10000);
        auto* card = m_delegate->hudPanel()->findChild<QWidget*>(QStringLiteral("itemCard"));
        QVERIFY(card);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(card);
        QCOMPARE(iface->role(), QAccessible::ListItem);
        QTRY_COMPARE_WITH_TIMEOUT(iface->text(QAccessible::Name),
                                  QStringLiteral("report.pdf, PDF document, 2.1 MB, 1 of 1"), 5000);
    }

    void positionFollowsTheRound()
    {
        ActionPaletteView palette({});
        auto item = [](const QString& name, qint64 size) {
            TriageItem t(QUrl::fromLocalFile(QDir::homePath() + "/Downloads/" + name));
            t.sizeBytes = size;
            return t;
        };
        // Twelve waiting; two filed already; the third comes up.
        palette.setItem(item("a.zip", 10));
        palette.setWaitingCount(12);
        palette.setItem(item("b.zip", 10));
        palette.setWaitingCount(11);
        palette.setItem(item("report.pdf", 2'100'000));
        palette.setWaitingCount(10);
        QCOMPARE(palette.announcement(),
                 QStringLiteral("report.pdf, PDF document, 2.1 MB, 3 of 12"));
        auto* card = palette.findChild<QWidget*>(QStringLiteral("itemCard"));
        QCOMPARE(card->accessibleName(), palette.announcement());
    }

    void everyControlHasANameAndADescription()
    {
        verifyTree("triage screen");

        TriageContainerView* view = m_delegate->containerView();
        view->startRename();
        verifyTree("rename panel");
        view->cancelRename();

        view->setShowingCheatSheet(true);
        QTRY_VERIFY_WITH_TIMEOUT(
            m_delegate->hudPanel()->findChild<QWidget*>(QStringLiteral("keyboardCheatSheet")) &&
                m_delegate->hudPanel()
                    ->findChild<QWidget*>(QStringLiteral("keyboardCheatSheet"))
                    ->isVisible(),
            3000);
        verifyTree("cheat sheet");
        view->setShowingCheatSheet(false);

        // The offer to create a missing slot folder (~/Developer/Projects is missing).
        const DestinationSlot missing = AppConfig::defaultSlots().at(1);
        QVERIFY(!missing.isAvailable());
        view->offerToCreateSlotFolder(missing, InputMethod::keyboard);
        QVERIFY(view->showingCreateFolderOffer());
        verifyTree("create-folder offer");
        QTest::keyClick(
            m_delegate->hudPanel()->findChild<QWidget*>(QStringLiteral("createFolderOffer")),
            Qt::Key_Escape);
        QTRY_VERIFY(!view->showingCreateFolderOffer());

        view->setShowingSettings(true);
        QTRY_VERIFY_WITH_TIMEOUT(
            m_delegate->hudPanel()->findChild<QWidget*>(QStringLiteral("settingsView")), 3000);
        verifyTree("settings sheet");
        view->setShowingSettings(false);
    }

    // A sheet or offer that takes the focus is a dialog named by its title, so a screen
    // reader says where the user is; closing it puts the focus back on the item card.
    void sheetsAreNamedDialogsAndGiveTheFocusBack()
    {
        TriageHUDPanel* panel = m_delegate->hudPanel();
        TriageContainerView* view = m_delegate->containerView();
        panel->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(panel));
        auto* card = panel->findChild<QWidget*>(QStringLiteral("itemCard"));
        QVERIFY(card && card->isVisible());
        const auto focusedDialog = [] {
            for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
                QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
                if (iface && iface->role() == QAccessible::Dialog)
                    return iface->text(QAccessible::Name);
            }
            return QString();
        };
        const auto keyToWindow = [panel](Qt::Key key) {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : panel;
            QTest::keyClick(target, key);
        };

        QTest::keyClick(card, Qt::Key_Question, Qt::ShiftModifier);
        QTRY_COMPARE_WITH_TIMEOUT(focusedDialog(), QStringLiteral("Keyboard Shortcuts"), 3000);
        keyToWindow(Qt::Key_Escape);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), card, 3000);

        view->setShowingSettings(true);
        QTRY_COMPARE_WITH_TIMEOUT(focusedDialog(), QStringLiteral("Stowbird Preferences"), 3000);
        view->setShowingSettings(false);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), card, 3000);

        view->offerToCreateSlotFolder(AppConfig::defaultSlots().at(1), InputMethod::keyboard);
        QTRY_COMPARE_WITH_TIMEOUT(focusedDialog(), QStringLiteral("Create folder"), 3000);
        keyToWindow(Qt::Key_Escape);
        QTRY_VERIFY(!view->showingCreateFolderOffer());
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), card, 3000);
    }

    // Outcomes are spoken politely, errors as alerts, each as it happens. (Qt hands the
    // events on only to a live bridge; the atspi end-to-end test reads them off the bus.)
    void outcomesAndErrorsAreAnnounced()
    {
        TriageContainerView* view = m_delegate->containerView();
        auto* announcer = view->findChild<StatusAnnouncer*>();
        QVERIFY(announcer);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(announcer);
        QVERIFY(iface && !iface->state().invisible);
        QTRY_VERIFY_WITH_TIMEOUT(m_delegate->waitingCount() == 1, 5000);
        const auto spoken = [&] {
            return std::make_pair(iface->role(), iface->text(QAccessible::Name));
        };

        int count = announcer->count();
        DestinationSlot gone{7, QStringLiteral("Archive"), QDir::homePath() + "/no-such-folder"};
        view->actions()->routeToSlot(gone, InputMethod::keyboard);
        QTRY_COMPARE_WITH_TIMEOUT(announcer->count(), count + 1, 5000);
        QCOMPARE(spoken().first, QAccessible::AlertMessage);
        QCOMPARE(spoken().second, view->statusMessage().value_or(QString()));
        QVERIFY(spoken().second.startsWith(QStringLiteral("Failed to move: ")));

        QTRY_VERIFY_WITH_TIMEOUT(m_delegate->waitingCount() == 1, 5000);
        count = announcer->count();
        view->trashCurrent(InputMethod::keyboard);
        QTRY_COMPARE_WITH_TIMEOUT(announcer->count(), count + 1, 5000);
        QCOMPARE(spoken(), std::make_pair(QAccessible::Notification,
                                          QStringLiteral("Moved report.pdf to Trash")));
        view->undoLastAction();
        QTRY_COMPARE_WITH_TIMEOUT(announcer->count(), count + 2, 5000);
        QCOMPARE(spoken().first, QAccessible::Notification);
        QVERIFY2(spoken().second.startsWith(QStringLiteral("Restored report.pdf")),
                 qPrintable(spoken().second));
    }
};

STOWBIRD_TEST_MAIN(TestAccessibility)
#include "TestAccessibility.moc"
