#include "TestEnvironment.h"
#include "services/GlobalShortcutService.h"
#include "views/CheatSheetOverlay.h"
#include "views/KeyCapView.h"
#include "views/KeyboardCheatSheetView.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QVariantAnimation>

namespace {

// A row as the user reads it: caps in brackets, plain words as they are, then the caption.
QString readRow(QWidget* row)
{
    QStringList parts;
    auto* group = row->findChild<QWidget*>(QStringLiteral("keyGroup"));
    auto* layout = group->layout();
    for (int i = 0; i < layout->count(); ++i) {
        QWidget* widget = layout->itemAt(i)->widget();
        if (auto* cap = qobject_cast<KeyCapView*>(widget))
            parts << QLatin1Char('[') + cap->text() + QLatin1Char(']');
        else if (auto* word = qobject_cast<QLabel*>(widget))
            parts << word->text();
    }
    parts << QStringLiteral("|") << row->findChild<QLabel*>(QStringLiteral("caption"))->text();
    return parts.join(QLatin1Char(' '));
}

// Counts the keys that reach it, to show what the overlay lets through.
class KeyCountingWidget : public QWidget
{
public:
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        ++keys;
        event->accept();
    }
};

// The overlay's fade cut to one frame: the same animation, ending the same way, sooner.
void shortenFade(CheatSheetOverlay& overlay)
{
    overlay.findChild<QVariantAnimation*>(QString(), Qt::FindDirectChildrenOnly)->setDuration(1);
}

} // namespace

class TestKeyboardCheatSheet : public QObject
{
    Q_OBJECT

    // Unbound: the cards show the default chord.
    GlobalShortcutService m_shortcut;

private slots:
    void rowsReadAsDesigned_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("expected");
        QTest::newRow("slots") << 0 << 0 << QStringLiteral("[1] [...] [9] | Move to Slot 1\u20139");
        QTest::newRow("group") << 0 << 1
                               << QStringLiteral("[Shift] [1] [...] [9] | Move all alike to Slot "
                                                 "1\u20139");
        QTest::newRow("custom") << 0 << 2 << QStringLiteral("[0] | Browse custom folder...");
        QTest::newRow("like last")
            << 0 << 3 << QStringLiteral("[.] | Move where the last file went");
        QTest::newRow("trash") << 0 << 4 << QStringLiteral("[\u232B] or [D] | Move to Trash");
        QTest::newRow("trash all")
            << 0 << 5 << QStringLiteral("[Shift] [D] | Move all alike to Trash");
        QTest::newRow("skip") << 1 << 0 << QStringLiteral("[\u21E5 Tab] | Skip to back of queue");
        QTest::newRow("step") << 1 << 1
                              << QStringLiteral("[\u2190] [\u2192] | Look through all alike");
        QTest::newRow("cancel") << 1 << 2 << QStringLiteral("[C] | Cancel the running move");
        QTest::newRow("rename") << 1 << 3 << QStringLiteral("[R] | Inline rename file");
        QTest::newRow("undo") << 1 << 4
                              << QStringLiteral("[Z] or [Ctrl+Z] | Undo last triage action");
        QTest::newRow("reveal") << 1 << 5
                                << QStringLiteral("[O] or [Ctrl+O] | Reveal in File Manager");
        QTest::newRow("open") << 2 << 0 << QStringLiteral("[Space] | Open preview in default app");
        QTest::newRow("history") << 2 << 1 << QStringLiteral("[H] | Show history");
        QTest::newRow("toggle") << 2 << 2 << QStringLiteral("[?] | Toggle this cheat sheet");
        QTest::newRow("preferences") << 2 << 3 << QStringLiteral("[Ctrl] [,] | Open Preferences");
        QTest::newRow("close") << 2 << 4 << QStringLiteral("[\u238B Esc] | Close Stowbird window");
        QTest::newRow("quit") << 2 << 5 << QStringLiteral("[Ctrl] [Q] | Quit application");
    }

    void rowsReadAsDesigned()
    {
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QString, expected);
        KeyboardCheatSheetView card(m_shortcut, [] {});
        const auto columns = card.findChildren<QWidget*>(QStringLiteral("shortcutColumn"));
        QCOMPARE(columns.size(), 3);
        const auto rows = columns[column]->findChildren<QWidget*>(QStringLiteral("shortcutRow"));
        const int rowsOfColumn[] = {6, 6, 6};
        QCOMPARE(rows.size(), rowsOfColumn[column]);
        QCOMPARE(readRow(rows[row]), expected);
    }

    void fixedTextsAndSize()
    {
        QWidget host;
        host.resize(840, 540);
        KeyboardCheatSheetView card(
            m_shortcut, [] {}, &host);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCOMPARE(card.width(), 680);

        QStringList headings;
        for (auto* heading : card.findChildren<QLabel*>(QStringLiteral("columnHeading")))
            headings << heading->text();
        QCOMPARE(headings,
                 QStringList({QStringLiteral("TRIAGE & ROUTING"),
                              QStringLiteral("REVIEW & ACTIONS"), QStringLiteral("GENERAL")}));
        QCOMPARE(card.findChild<QLabel*>(QStringLiteral("title"))->text(),
                 QStringLiteral("Keyboard Shortcuts"));
        QCOMPARE(card.findChild<QLabel*>(QStringLiteral("footerTip"))->text(),
                 QStringLiteral("Tip: You can press '?' at any time while triaging to view "
                                "this cheat sheet."));
        QCOMPARE(card.closeButton()->toolTip(), QStringLiteral("Close (Esc)"));
        QCOMPARE(card.gotItButton()->text(), QStringLiteral("Got it"));
        QVERIFY(card.gotItButton()->isDefault());

        // Every caption of a column starts at the same x: the key groups share a width.
        for (auto* column : card.findChildren<QWidget*>(QStringLiteral("shortcutColumn"))) {
            QSet<int> starts;
            for (auto* row : column->findChildren<QWidget*>(QStringLiteral("shortcutRow"))) {
                auto* caption = row->findChild<QLabel*>(QStringLiteral("caption"));
                starts.insert(caption->mapTo(&card, QPoint(0, 0)).x());
                QVERIFY(caption->geometry().right() < row->width());
            }
            QCOMPARE(starts.size(), 1);
        }
    }

    // In the smallest window the HUD allows, the card fits and every caption stays on one
    // line, uncut.
    void captionsFitOneLineAtTheMinimumSize()
    {
        QWidget host;
        host.resize(760, 480);
        CheatSheetOverlay overlay(
            m_shortcut, [] {}, &host);
        host.show();
        shortenFade(overlay);
        overlay.showAnimated();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QTRY_VERIFY_WITH_TIMEOUT(overlay.card()->isVisible(), 2000);
        QVERIFY(host.rect().contains(overlay.card()->geometry()));
        const auto captions = overlay.card()->findChildren<QLabel*>(QStringLiteral("caption"));
        QCOMPARE(captions.size(), 19); // eighteen keys of the window, one for the desktop
        for (QLabel* caption : captions) {
            const QFontMetrics metrics(caption->font());
            QVERIFY2(caption->height() < 2 * metrics.lineSpacing(), qPrintable(caption->text()));
            QVERIFY2(metrics.horizontalAdvance(caption->text()) <= caption->width(),
                     qPrintable(caption->text()));
            QVERIFY2(overlay.card()->rect().contains(caption->geometry().translated(
                         caption->parentWidget()->mapTo(overlay.card(), QPoint(0, 0)))),
                     qPrintable(caption->text()));
        }
    }

    void cardButtonsDismiss_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("close") << QStringLiteral("closeButton");
        QTest::newRow("got it") << QStringLiteral("gotItButton");
    }

    void cardButtonsDismiss()
    {
        QFETCH(QString, button);
        int dismissals = 0;
        KeyboardCheatSheetView card(m_shortcut, [&dismissals] { ++dismissals; });
        card.show();
        QVERIFY(QTest::qWaitForWindowExposed(&card));
        auto* target = card.findChild<QAbstractButton*>(button);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton);
        QCOMPARE(dismissals, 1);
    }

    void overlayCoversParentAndCentresCard()
    {
        QWidget host;
        host.resize(840, 540);
        CheatSheetOverlay overlay(
            m_shortcut, [] {}, &host);
        host.show();
        shortenFade(overlay);
        overlay.showAnimated();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCOMPARE(overlay.geometry(), host.rect());
        QCOMPARE(overlay.card()->geometry().center(), host.rect().center());
        QCOMPARE(overlay.card()->width(), 680);

        host.resize(1000, 700);
        QCOMPARE(overlay.geometry(), QRect(0, 0, 1000, 700));
        QCOMPARE(overlay.card()->geometry().center(), QRect(0, 0, 1000, 700).center());
        // The card becomes clickable once it has grown in.
        QTRY_VERIFY_WITH_TIMEOUT(overlay.card()->isVisible(), 2000);
    }

    void overlayClosesOnScrimOnly()
    {
        QWidget host;
        host.resize(840, 540);
        int dismissals = 0;
        CheatSheetOverlay overlay(
            m_shortcut, [&dismissals] { ++dismissals; }, &host);
        host.show();
        overlay.showAnimated();
        QVERIFY(QTest::qWaitForWindowExposed(&host));

        // Inside the card's padding: nothing there, but it is not the scrim.
        const QPoint onCard = overlay.card()->geometry().topLeft() + QPoint(6, 6);
        QTest::mouseClick(&overlay, Qt::LeftButton, {}, onCard);
        QCOMPARE(dismissals, 0);
        // Pressing on the scrim and releasing on the card is not a tap on the scrim.
        QTest::mousePress(&overlay, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(&overlay, Qt::LeftButton, {}, onCard);
        QCOMPARE(dismissals, 0);

        QTest::mouseClick(&overlay, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(dismissals, 1);
        QTest::mouseClick(&overlay, Qt::LeftButton, {}, QPoint(830, 530));
        QCOMPARE(dismissals, 2);
    }

    void overlaySwallowsKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("dismissals");
        QTest::newRow("escape") << int(Qt::Key_Escape) << QString() << 1;
        QTest::newRow("question mark") << int(Qt::Key_Question) << QStringLiteral("?") << 1;
        QTest::newRow("digit") << int(Qt::Key_1) << QStringLiteral("1") << 0;
        QTest::newRow("delete") << int(Qt::Key_Delete) << QString() << 0;
        QTest::newRow("tab") << int(Qt::Key_Tab) << QString() << 0;
    }

    void overlaySwallowsKeys()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(int, dismissals);
        KeyCountingWidget host;
        host.resize(840, 540);
        int calls = 0;
        CheatSheetOverlay overlay(
            m_shortcut, [&calls] { ++calls; }, &host);
        host.show();
        overlay.showAnimated();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&overlay, &press);
        QCOMPARE(calls, dismissals);
        QVERIFY(press.isAccepted());
        QCOMPARE(host.keys, 0);
    }

    void hideAnimatedEndsHidden()
    {
        QWidget host;
        host.resize(840, 540);
        CheatSheetOverlay overlay(
            m_shortcut, [] {}, &host);
        host.show();
        shortenFade(overlay);
        overlay.showAnimated();
        overlay.hideAnimated();
        QTRY_VERIFY_WITH_TIMEOUT(!overlay.isVisible(), 2000);
        // Shown again, it ends fully drawn with its live card.
        overlay.showAnimated();
        QTRY_VERIFY_WITH_TIMEOUT(overlay.card()->isVisible(), 2000);
    }
};

STOWBIRD_TEST_MAIN(TestKeyboardCheatSheet)
#include "TestKeyboardCheatSheet.moc"
