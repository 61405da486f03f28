#include "HudTestServices.h"
#include "TestEnvironment.h"
#include "app/TriageHUDPanel.h"
#include "models/TriageKeyTable.h"
#include "platform/XkbLatinKeyResolver.h"
#include "views/ActionPaletteView.h"
#include "views/ActionShortcutHint.h"
#include "views/KeyCapView.h"
#include "views/KeyboardCheatSheetView.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QTest>
#include <QThreadPool>

#include <xkbcommon/xkbcommon.h>

#include <memory>
#include <optional>

namespace {

using Action = TriageKeyTable::Action;
using Key = TriageKeyTable::Key;

// A keymap compiled by xkbcommon from the system's XKB data, as a desktop compiles it.
struct Keymap
{
    explicit Keymap(const char* layout)
    {
        const xkb_rule_names names{"evdev", "pc105", layout, "", ""};
        keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    }
    ~Keymap()
    {
        xkb_keymap_unref(keymap);
        xkb_context_unref(context);
    }
    Keymap(const Keymap&) = delete;
    Keymap& operator=(const Keymap&) = delete;

    // The key with this keysym at level 0 (or, up to maxLevel, a shifted one), with its level.
    std::optional<std::pair<xkb_keycode_t, xkb_level_index_t>> find(xkb_keysym_t sym,
                                                                    xkb_level_index_t maxLevel)
    {
        for (xkb_level_index_t level = 0; level <= maxLevel; ++level) {
            for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap);
                 code <= xkb_keymap_max_keycode(keymap); ++code) {
                const xkb_keysym_t* syms = nullptr;
                if (xkb_keymap_key_get_syms_by_level(keymap, code, 0, level, &syms) > 0 &&
                    syms[0] == sym)
                    return std::pair(code, level);
            }
        }
        return std::nullopt;
    }

    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    xkb_keymap* keymap = nullptr;
};

xkb_keysym_t keysymOf(QChar character)
{
    switch (character.unicode()) {
    case u'\t':
        return XKB_KEY_Tab;
    case u'\x1b':
        return XKB_KEY_Escape;
    case u'\x08':
        return XKB_KEY_BackSpace;
    case u'\x7f':
        return XKB_KEY_Delete;
    case u'\r':
        return XKB_KEY_Return;
    default:
        return xkb_utf32_to_keysym(character.unicode());
    }
}

// The Qt key of a keysym, as Qt's XKB support names it: the function keys by their own
// codes, a printable key by its upper-case character.
int qtKeyOf(xkb_keysym_t sym)
{
    switch (sym) {
    case XKB_KEY_Tab:
        return Qt::Key_Tab;
    case XKB_KEY_Escape:
        return Qt::Key_Escape;
    case XKB_KEY_BackSpace:
        return Qt::Key_Backspace;
    case XKB_KEY_Delete:
        return Qt::Key_Delete;
    case XKB_KEY_Return:
        return Qt::Key_Return;
    default:
        return int(QChar::toUpper(char32_t(xkb_keysym_to_utf32(sym))));
    }
}

// The key event a user of `user` gets from the key a table key is on. Letters and digits
// are the keys that bear them, which are where `printed` (the Latin layout the keyboard is
// labelled with) has them, pressed without Shift: on AZERTY the 1 key, which types "&". The
// other keys are where `user` has their character, with Shift when it is shifted there.
QKeyEvent keyEvent(QEvent::Type type, Keymap& user, Keymap& printed, Key key)
{
    const xkb_keysym_t wanted = keysymOf(key.character);
    const bool latin = TriageKeyTable::isLatinLetterOrDigit(key.character);
    const auto place = latin ? printed.find(wanted, 1) : user.find(wanted, 1);
    if (!place)
        qFatal("no key for U+%04x", unsigned(key.character.unicode()));
    const bool shift = !latin && place->second == 1;
    xkb_mod_mask_t mods = 0;
    if (shift)
        mods |= 1u << xkb_keymap_mod_get_index(user.keymap, XKB_MOD_NAME_SHIFT);
    if (key.command)
        mods |= 1u << xkb_keymap_mod_get_index(user.keymap, XKB_MOD_NAME_CTRL);
    xkb_state* state = xkb_state_new(user.keymap);
    xkb_state_update_mask(state, mods, 0, 0, 0, 0, 0);
    const xkb_keysym_t sym = xkb_state_key_get_one_sym(state, place->first);
    char text[16] = {};
    xkb_state_key_get_utf8(state, place->first, text, sizeof text);
    xkb_state_unref(state);
    Qt::KeyboardModifiers modifiers;
    modifiers.setFlag(Qt::ShiftModifier, shift);
    modifiers.setFlag(Qt::ControlModifier, key.command);
    return QKeyEvent(type, qtKeyOf(sym), modifiers, place->first, sym, mods,
                     QString::fromUtf8(text));
}

} // namespace

class TestKeyLayouts : public QObject
{
    Q_OBJECT

    QString m_home;
    QString m_downloads;
    std::unique_ptr<HudTestServices<>> m_services;
    std::unique_ptr<TriageHUDPanel> m_panel;
    TriageContainerView* m_view = nullptr;
    int m_dismissals = 0;
    int m_rescans = 0;
    QList<QUrl> m_opened;
    int m_files = 0;

    // A new file at the head of the queue.
    QString freshHead()
    {
        const QString path = m_downloads + QStringLiteral("/file-%1.txt").arg(++m_files);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write("content") != 7)
            qFatal("cannot write %s", qPrintable(path));
        f.close();
        m_services->queue->pushToFront(TriageItem(QUrl::fromLocalFile(path)));
        return path;
    }

    QString status() const { return m_view->statusMessage().value_or(QString()); }

    QString logText()
    {
        m_services->logger->waitForWritten(5000);
        QFile f(m_services->logger->logPath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private slots:
    void init()
    {
        m_home = QDir::homePath();
        m_downloads = m_home + QStringLiteral("/Downloads");
        QDir(m_home).removeRecursively();
        QVERIFY(QDir().mkpath(m_downloads));
        m_services = std::make_unique<HudTestServices<>>(m_home);
        // Slots 1 to 9 but 7, each with its folder.
        AppConfig config = m_services->config->config();
        config.destinationSlots.clear();
        for (int slot = 1; slot <= 9; ++slot) {
            if (slot == 7)
                continue;
            const QString folder = m_home + QStringLiteral("/Slot %1").arg(slot);
            QVERIFY(QDir().mkpath(folder));
            config.destinationSlots.append({slot, QStringLiteral("Slot %1").arg(slot), folder});
        }
        QVERIFY(m_services->config->saveConfig(config));
        QVERIFY(QDir().mkpath(m_home + QStringLiteral("/Custom")));
        m_dismissals = 0;
        m_rescans = 0;
        m_opened.clear();
    }

    void cleanup()
    {
        QThreadPool::globalInstance()->waitForDone(10000);
        m_panel.reset();
        m_view = nullptr;
        m_services.reset();
    }

    // Every key of the table, pressed where a user of the layout finds it, does its action
    // in the real window: on a Russian layout the D key types "в" and trashes, on AZERTY the
    // 1 key types "&" and files into slot 1, on QWERTZ the Z key (where QWERTY has Y) undoes.
    void everyKeyDoesItsActionOnEveryLayout_data()
    {
        QTest::addColumn<QByteArray>("layout");
        QTest::addColumn<QByteArray>("printed");
        QTest::newRow("us") << QByteArray("us") << QByteArray("us");
        // Russian keyboards carry the US letters beside the Cyrillic ones.
        QTest::newRow("ru") << QByteArray("ru") << QByteArray("us");
        QTest::newRow("fr (AZERTY)") << QByteArray("fr") << QByteArray("fr");
        QTest::newRow("de (QWERTZ)") << QByteArray("de") << QByteArray("de");
    }

    void everyKeyDoesItsActionOnEveryLayout()
    {
        QFETCH(QByteArray, layout);
        QFETCH(QByteArray, printed);
        Keymap user(layout.constData());
        Keymap labels(printed.constData());
        QVERIFY(user.keymap && labels.keymap);

        TriageContainerView::Services services = m_services->services();
        services.keyResolver = std::make_shared<XkbLatinKeyResolver>(
            XkbLatinKeyResolver::LayoutNames{"evdev", "pc105", layout, {}, {}});
        m_panel = std::make_unique<TriageHUDPanel>();
        m_view = new TriageContainerView(
            services, [this] { ++m_dismissals; }, [this] { ++m_rescans; });
        m_view->setFileOpener([this](const QUrl& url) { m_opened.append(url); });
        m_view->setFolderChooser([this](QWidget*) { return m_home + QStringLiteral("/Custom"); });
        m_panel->setContentView(m_view);
        m_panel->presentCentered();
        TriageQueueManager& queue = *m_services->queue;
        const QString trash = m_home + QStringLiteral("/.local/share/Trash/files/");

        for (const TriageKeyTable::Entry& entry : TriageKeyTable::entries()) {
            for (const Key& key : entry.keys) {
                QKeyEvent press = keyEvent(QEvent::KeyPress, user, labels, key);
                QKeyEvent release = keyEvent(QEvent::KeyRelease, user, labels, key);
                const QByteArray what = QStringLiteral("%1 key, typing '%2' (keycode %3)")
                                            .arg(entry.name, press.text())
                                            .arg(press.nativeScanCode())
                                            .toUtf8();
                QTRY_VERIFY_WITH_TIMEOUT(!m_view->isProcessingAction(), 5000);
                const QString head = freshHead();
                const QString name = QFileInfo(head).fileName();
                if (entry.action == Action::undo) {
                    m_view->trashCurrent(InputMethod::mouse);
                    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(trash + name), 5000);
                    QTRY_VERIFY_WITH_TIMEOUT(!m_view->isProcessingAction(), 5000);
                } else if (entry.action == Action::reviewSkipped) {
                    // Return is the empty state's button: skip everything first.
                    for (int i = 0; i < 100 && queue.activeItem(); ++i)
                        m_view->skipCurrentItem(InputMethod::mouse);
                }
                const int dismissals = m_dismissals;
                if (entry.menu) {
                    // The menu's keys go on to the menu.
                    QVERIFY2(!m_view->handleKeyEvent(&press), what.constData());
                    QCOMPARE(queue.activeItem()->url.toLocalFile(), head);
                    continue;
                }
                QApplication::sendEvent(m_view, &press);
                QApplication::sendEvent(m_view, &release);
                switch (entry.action) {
                case Action::fileToSlot: {
                    const int slot = key.character.digitValue();
                    if (slot == 7) {
                        QTRY_COMPARE_WITH_TIMEOUT(
                            status(), QStringLiteral("No slot 7: add one in Preferences"), 5000);
                        QCOMPARE(queue.activeItem()->url.toLocalFile(), head);
                        QVERIFY(logText().contains(QStringLiteral("no slot 7 is configured")));
                    } else {
                        QTRY_VERIFY2_WITH_TIMEOUT(
                            QFile::exists(m_home + QStringLiteral("/Slot %1/").arg(slot) + name),
                            what.constData(), 5000);
                    }
                    break;
                }
                case Action::moveToCustomFolder:
                    QTRY_VERIFY2_WITH_TIMEOUT(
                        QFile::exists(m_home + QStringLiteral("/Custom/") + name), what.constData(),
                        5000);
                    break;
                case Action::trash:
                    QTRY_VERIFY2_WITH_TIMEOUT(QFile::exists(trash + name), what.constData(), 5000);
                    break;
                case Action::skip:
                    QVERIFY2(queue.skippedPaths().contains(head), what.constData());
                    break;
                case Action::rename:
                    QVERIFY2(m_view->isRenaming(), what.constData());
                    m_view->cancelRename();
                    break;
                case Action::undo:
                    QTRY_VERIFY2_WITH_TIMEOUT(QFile::exists(head), what.constData(), 5000);
                    break;
                case Action::reveal:
                    QVERIFY2(!m_services->revealer->revealed.isEmpty() &&
                                 m_services->revealer->revealed.takeLast().toLocalFile() == head,
                             what.constData());
                    break;
                case Action::openInDefaultApp:
                    QVERIFY2(!m_opened.isEmpty() && m_opened.takeLast().toLocalFile() == head,
                             what.constData());
                    break;
                case Action::toggleCheatSheet:
                    QVERIFY2(m_view->showingCheatSheet(), what.constData());
                    m_view->setShowingCheatSheet(false);
                    break;
                case Action::closeWindow:
                    QVERIFY2(m_dismissals == dismissals + 1, what.constData());
                    break;
                case Action::reviewSkipped:
                    QVERIFY2(m_rescans == 1 && queue.skippedPaths().isEmpty(), what.constData());
                    break;
                case Action::openPreferences:
                case Action::quit:
                    QFAIL("menu keys are handled above");
                }
            }
        }
    }

    // The cheat sheet and the palette show the table's keys, each with its own caption, and
    // a key shown anywhere is a key of that row's action.
    void shownKeysAreTheTablesKeys()
    {
        // What a user presses for a cap: its character, and Ctrl for "Ctrl+x".
        const auto keyOfCap = [](const QString& cap) -> std::optional<Key> {
            const bool command = cap.startsWith(QStringLiteral("Ctrl+"));
            const QString name = command ? cap.mid(5) : cap;
            static const QHash<QString, QChar> named = {
                {QStringLiteral("\u232B"), u'\x08'}, {QStringLiteral("\u21E5 Tab"), u'\t'},
                {QStringLiteral("Tab"), u'\t'},      {QStringLiteral("\u238B Esc"), u'\x1b'},
                {QStringLiteral("Esc"), u'\x1b'},    {QStringLiteral("Space"), u' '}};
            if (named.contains(name))
                return Key{named.value(name), command};
            if (name.size() == 1)
                return Key{command ? name[0].toLower() : name[0], command};
            return std::nullopt;
        };
        // The keys of a row of caps: "Ctrl" "," is one chord, "1" "..." "9" a range.
        const auto keysOfCaps = [&](const QStringList& caps) {
            QList<Key> keys;
            for (qsizetype i = 0; i < caps.size(); ++i) {
                if (caps[i] == KeyboardCheatSheetView::orWord)
                    continue;
                if (caps[i] == QStringLiteral("Ctrl") && i + 1 < caps.size()) {
                    keys.append(*keyOfCap(QStringLiteral("Ctrl+") + caps[++i]));
                } else if (caps[i] == QStringLiteral("...")) {
                    for (char16_t c = keys.last().character.unicode() + 1;
                         c < caps[i + 1].front().unicode(); ++c)
                        keys.append(Key{QChar(c)});
                } else {
                    const std::optional<Key> key = keyOfCap(caps[i]);
                    if (!key)
                        qFatal("unreadable cap %s", qPrintable(caps[i]));
                    keys.append(*key);
                }
            }
            return keys;
        };
        const auto actionOf = [](const Key& key) {
            const TriageKeyTable::Entry* entry = TriageKeyTable::find(key.character, key.command);
            return entry ? std::optional(entry->action) : std::nullopt;
        };

        // The cheat sheet, as drawn.
        GlobalShortcutService shortcut;
        KeyboardCheatSheetView card(shortcut, [] {});
        const auto columns = card.findChildren<QWidget*>(QStringLiteral("shortcutColumn"));
        QCOMPARE(columns.size(), TriageKeyTable::columnHeadings().size());
        QList<const TriageKeyTable::Entry*> listed;
        for (const TriageKeyTable::Entry& entry : TriageKeyTable::entries()) {
            if (entry.column >= 0)
                listed.append(&entry);
        }
        qsizetype next = 0;
        for (qsizetype column = 0; column < columns.size(); ++column) {
            for (QWidget* row :
                 columns[column]->findChildren<QWidget*>(QStringLiteral("shortcutRow"))) {
                QStringList caps;
                auto* layout = row->findChild<QWidget*>(QStringLiteral("keyGroup"))->layout();
                for (int i = 0; i < layout->count(); ++i) {
                    QWidget* widget = layout->itemAt(i)->widget();
                    if (auto* cap = qobject_cast<KeyCapView*>(widget))
                        caps << cap->text();
                    else if (auto* word = qobject_cast<QLabel*>(widget))
                        caps << word->text();
                }
                const QString caption = row->findChild<QLabel*>(QStringLiteral("caption"))->text();
                QVERIFY2(next < listed.size(), qPrintable(caption));
                const TriageKeyTable::Entry& entry = *listed[next++];
                QCOMPARE(column, qsizetype(entry.column));
                QCOMPARE(caption, entry.caption);
                QCOMPARE(caps, entry.caps);
                for (const Key& key : keysOfCaps(caps)) {
                    QVERIFY2(actionOf(key) == entry.action,
                             qPrintable(caption + QStringLiteral(": ") + key.character));
                    QVERIFY2(
                        entry.keys.contains(Key{
                            key.command ? key.character : key.character.toLower(), key.command}),
                        qPrintable(caption));
                }
            }
        }
        QCOMPARE(next, listed.size());

        // The palette's hints: the table's, and a click runs the action of their keys.
        QList<QString> clicked;
        ActionPaletteView::Callbacks callbacks;
        callbacks.onTrash = [&] { clicked << QStringLiteral("trash"); };
        callbacks.onSkip = [&] { clicked << QStringLiteral("skip"); };
        callbacks.onStartRename = [&] { clicked << QStringLiteral("rename"); };
        callbacks.onUndo = [&] { clicked << QStringLiteral("undo"); };
        callbacks.onRevealInFinder = [&] { clicked << QStringLiteral("reveal"); };
        ActionPaletteView palette(callbacks);
        const QHash<Action, QString> expectedClick = {
            {Action::trash, QStringLiteral("trash")},   {Action::skip, QStringLiteral("skip")},
            {Action::rename, QStringLiteral("rename")}, {Action::undo, QStringLiteral("undo")},
            {Action::reveal, QStringLiteral("reveal")}, {Action::closeWindow, QString()}};
        const auto hints = palette.findChildren<ActionShortcutHint*>();
        QCOMPARE(hints.size(), 6);
        QSet<Action> hinted;
        for (ActionShortcutHint* hint : hints) {
            std::optional<Action> action;
            for (const QString& cap : hint->keys().split(QStringLiteral(" / "))) {
                const std::optional<Key> key = keyOfCap(cap);
                QVERIFY2(key, qPrintable(cap));
                QVERIFY2(!action || actionOf(*key) == action, qPrintable(hint->keys()));
                action = actionOf(*key);
                QVERIFY2(action, qPrintable(cap));
            }
            const TriageKeyTable::Entry& entry = TriageKeyTable::entry(*action);
            QCOMPARE(hint->label(), entry.hintLabel);
            QVERIFY(hint->accessibleDescription().contains(hint->keys()));
            hinted.insert(*action);
            clicked.clear();
            hint->click();
            QCOMPARE(clicked.value(0), expectedClick.value(*action, QStringLiteral("?")));
        }
        QCOMPARE(hinted, QSet<Action>(expectedClick.keyBegin(), expectedClick.keyEnd()));
    }
};

STOWBIRD_TEST_MAIN(TestKeyLayouts)
#include "TestKeyLayouts.moc"
