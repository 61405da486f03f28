#include "HudTestServices.h"
#include "TestEnvironment.h"
#include "app/TriageHUDPanel.h"
#include "models/TriageKeyTable.h"
#include "platform/XkbLatinKeyResolver.h"
#include "services/TriageActionController.h"
#include "views/ActionPaletteView.h"
#include "views/ActionShortcutHint.h"
#include "views/KeyCapView.h"
#include "views/KeyboardCheatSheetView.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QThreadPool>

#include <xkbcommon/xkbcommon.h>

#include <functional>
#include <optional>

namespace {

using Action = TriageKeyTable::Action;
using Key = TriageKeyTable::Key;

// The keys that are not characters: their keysym and Qt key.
struct Special
{
    char16_t character;
    xkb_keysym_t keysym;
    int qtKey;
};
const Special specials[] = {{u'\t', XKB_KEY_Tab, Qt::Key_Tab},
                            {u'\x1b', XKB_KEY_Escape, Qt::Key_Escape},
                            {u'\x08', XKB_KEY_BackSpace, Qt::Key_Backspace},
                            {u'\x7f', XKB_KEY_Delete, Qt::Key_Delete},
                            {u'\r', XKB_KEY_Return, Qt::Key_Return},
                            {TriageKeyTable::leftArrow, XKB_KEY_Left, Qt::Key_Left},
                            {TriageKeyTable::rightArrow, XKB_KEY_Right, Qt::Key_Right}};

// A keymap compiled by xkbcommon from the system's XKB data, as a desktop compiles it.
struct Keymap
{
    explicit Keymap(const QByteArray& layout)
    {
        const xkb_rule_names names{"evdev", "pc105", layout.constData(), "", ""};
        keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    }
    ~Keymap()
    {
        xkb_keymap_unref(keymap);
        xkb_context_unref(context);
    }
    Q_DISABLE_COPY(Keymap)

    // The key with this keysym unshifted, else shifted; and whether it is shifted.
    std::pair<xkb_keycode_t, bool> find(xkb_keysym_t sym) const
    {
        for (xkb_level_index_t level = 0; level < 2; ++level) {
            for (xkb_keycode_t code = 8; code < 256; ++code) {
                const xkb_keysym_t* syms = nullptr;
                if (xkb_keymap_key_get_syms_by_level(keymap, code, 0, level, &syms) > 0 &&
                    syms[0] == sym)
                    return {code, level == 1};
            }
        }
        qFatal("no key for keysym %x", sym);
    }

    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    xkb_keymap* keymap = nullptr;
};

// The key event a user of `user` gets, as Qt makes it from xkbcommon, from the key a table
// key is on. Letters and digits are on the key labelled with them: where `printed` has them,
// pressed without Shift (on AZERTY the 1 key, which types "&"). The other keys are where
// `user` has their character, with Shift when it is shifted there.
QKeyEvent keyEvent(QEvent::Type type, const Keymap& user, const Keymap& printed, Key key)
{
    const Special* special =
        std::find_if(std::begin(specials), std::end(specials),
                     [&](const Special& s) { return s.character == key.character; });
    const xkb_keysym_t wanted = special != std::end(specials)
                                    ? special->keysym
                                    : xkb_utf32_to_keysym(key.character.unicode());
    const bool latin = TriageKeyTable::isLatinLetterOrDigit(key.character);
    auto [code, shift] = (latin ? printed : user).find(wanted);
    // Shift+1 is Shift on the key labelled 1, whatever it types then ("!", or "1" on AZERTY).
    shift = (shift && !latin) || key.shift;
    const xkb_mod_mask_t mods =
        (shift ? 1u << xkb_keymap_mod_get_index(user.keymap, XKB_MOD_NAME_SHIFT) : 0) |
        (key.command ? 1u << xkb_keymap_mod_get_index(user.keymap, XKB_MOD_NAME_CTRL) : 0);
    xkb_state* state = xkb_state_new(user.keymap);
    xkb_state_update_mask(state, mods, 0, 0, 0, 0, 0);
    const xkb_keysym_t sym = xkb_state_key_get_one_sym(state, code);
    char text[16] = {};
    xkb_state_key_get_utf8(state, code, text, sizeof text);
    xkb_state_unref(state);
    // Qt names a printable key by its upper-case character.
    const auto named = std::find_if(std::begin(specials), std::end(specials),
                                    [&](const Special& s) { return s.keysym == sym; });
    const int qtKey = named != std::end(specials)
                          ? named->qtKey
                          : int(QChar::toUpper(char32_t(xkb_keysym_to_utf32(sym))));
    Qt::KeyboardModifiers modifiers;
    modifiers.setFlag(Qt::ShiftModifier, shift);
    modifiers.setFlag(Qt::ControlModifier, key.command);
    return QKeyEvent(type, qtKey, modifiers, code, sym, mods, QString::fromUtf8(text));
}

} // namespace

class TestKeyLayouts : public QObject
{
    Q_OBJECT

    QString m_home;
    std::unique_ptr<HudTestServices<>> m_services;
    std::unique_ptr<TriageHUDPanel> m_panel;
    TriageContainerView* m_view = nullptr;
    int m_files = 0;

    // A new file at the head of the queue.
    QString freshHead()
    {
        const QString path = m_home + QStringLiteral("/Downloads/file-%1.txt").arg(++m_files);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write("content") != 7)
            qFatal("cannot write %s", qPrintable(path));
        m_services->queue->pushToFront(TriageItem(QUrl::fromLocalFile(path)));
        return path;
    }

private slots:
    void init()
    {
        m_home = QDir::homePath();
        QDir(m_home).removeRecursively();
        QVERIFY(QDir().mkpath(m_home + QStringLiteral("/Downloads")));
        QVERIFY(QDir().mkpath(m_home + QStringLiteral("/Custom")));
        m_services = std::make_unique<HudTestServices<>>(m_home);
        // Slots 1 to 9 but 7, each with its folder.
        AppConfig config = m_services->config->config();
        config.destinationSlots.clear();
        for (int slot = 1; slot <= 9; ++slot) {
            const QString folder = m_home + QStringLiteral("/Slot %1").arg(slot);
            QVERIFY(QDir().mkpath(folder));
            if (slot != 7)
                config.destinationSlots.append({slot, QStringLiteral("Slot %1").arg(slot), folder});
        }
        QVERIFY(m_services->config->saveConfig(config));
    }

    void cleanup()
    {
        QThreadPool::globalInstance()->waitForDone(10000);
        m_panel.reset();
        m_services.reset();
    }

    // Every key of the table, pressed where a user of the layout finds it, does its action
    // in the real window: on a Russian layout the D key types "в" and trashes, on AZERTY the
    // 1 key types "&" and files into slot 1, on QWERTZ the Z key (Y on QWERTY) undoes.
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
        const Keymap user(layout);
        const Keymap labels(printed);
        QVERIFY(user.keymap && labels.keymap);

        int dismissals = 0;
        int rescans = 0;
        QList<QUrl> opened;
        TriageContainerView::Services services = m_services->services();
        services.keyResolver = std::make_shared<XkbLatinKeyResolver>(
            XkbLatinKeyResolver::LayoutNames{"evdev", "pc105", layout, {}, {}});
        m_panel = std::make_unique<TriageHUDPanel>();
        m_view = new TriageContainerView(
            services, [&] { ++dismissals; }, [&] { ++rescans; });
        m_view->setFileOpener([&](const QUrl& url) { opened.append(url); });
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
                STOWBIRD_TRY_VERIFY(!m_view->isProcessingAction(), 5000);
                const QString head = freshHead();
                const QString name = QFileInfo(head).fileName();
                if (entry.action == Action::undo) {
                    m_view->trashCurrent(InputMethod::mouse);
                    STOWBIRD_TRY_VERIFY(!m_view->isProcessingAction(), 5000);
                    QVERIFY(!QFile::exists(head));
                } else if (entry.action == Action::stepGroup) {
                    // A look-alike of the head waits behind it.
                    const QString twin =
                        QFileInfo(head).path() + QStringLiteral("/file-%1.txt").arg(++m_files);
                    QFile file(twin);
                    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("twin") == 4);
                    file.close();
                    queue.enqueue(QUrl::fromLocalFile(twin));
                    STOWBIRD_TRY_VERIFY(m_view->currentGroup().size() >= 2, 5000);
                } else if (entry.action == Action::reviewSkipped) {
                    // Return is the empty state's button.
                    for (int i = 0; i < 100 && queue.activeItem(); ++i)
                        m_view->skipCurrentItem(InputMethod::mouse);
                }
                if (entry.menu) {
                    // The menu's keys go on to the menu.
                    QVERIFY2(!m_view->handleKeyEvent(&press), what.constData());
                    continue;
                }
                const int dismissed = dismissals;
                const auto last = m_view->actions()->lastDestination();
                const qsizetype groupSize = m_view->currentGroup().size();
                QApplication::sendEvent(m_view, &press);
                QApplication::sendEvent(m_view, &release);
                const int slot = key.character.digitValue();
                const QString inSlot = m_home + QStringLiteral("/Slot %1/").arg(slot) + name;
                std::function<bool()> done;
                switch (entry.action) {
                case Action::fileToSlot:
                case Action::fileGroupToSlot:
                    if (press.text() == QStringLiteral("?")) {
                        // Shift+7 types "?" on a Russian layout: the cheat sheet, as printed on
                        // the key, and never a group filed by a key pressed for help.
                        done = [&] { return m_view->showingCheatSheet(); };
                        break;
                    }
                    done = [&] {
                        return slot == 7 ? m_view->statusMessage() ==
                                               QStringLiteral("No slot 7: add one in Preferences")
                                         : QFile::exists(inSlot);
                    };
                    break;
                case Action::moveToCustomFolder:
                    done = [&] {
                        return QFile::exists(m_home + QStringLiteral("/Custom/") + name);
                    };
                    break;
                case Action::trash:
                case Action::trashGroup:
                    done = [&] { return QFile::exists(trash + name); };
                    break;
                case Action::fileLikeLast:
                    // The key before filed into a folder: this item goes there too.
                    QVERIFY2(last, what.constData());
                    done = [&] { return QFile::exists(last->folder + QLatin1Char('/') + name); };
                    break;
                case Action::stepGroup:
                    done = [&] {
                        return m_view->shownGroupMember() ==
                               (key.character == QChar(TriageKeyTable::rightArrow) ? 1
                                                                                   : groupSize - 1);
                    };
                    break;
                case Action::undo:
                    done = [&] { return QFile::exists(head); };
                    break;
                case Action::skip:
                    done = [&] { return queue.skippedPaths().contains(head); };
                    break;
                case Action::cancel:
                    // Nothing runs between keys here; stopping a copy is tested on its own.
                    done = [&] {
                        return m_view->statusMessage() == QStringLiteral("Nothing to cancel");
                    };
                    break;
                case Action::rename:
                    done = [&] { return m_view->isRenaming(); };
                    break;
                case Action::reveal:
                    done = [&] {
                        return m_services->revealer->revealed.value(0).toLocalFile() == head;
                    };
                    break;
                case Action::openInDefaultApp:
                    done = [&] { return opened.value(0).toLocalFile() == head; };
                    break;
                case Action::showHistory:
                    done = [&] { return m_view->showingHistory(); };
                    break;
                case Action::toggleCheatSheet:
                    done = [&] { return m_view->showingCheatSheet(); };
                    break;
                case Action::closeWindow:
                    done = [&] { return dismissals == dismissed + 1; };
                    break;
                case Action::reviewSkipped:
                    done = [&] { return rescans == 1 && queue.skippedPaths().isEmpty(); };
                    break;
                case Action::acceptSuggestion:
                    // No history here: Return on an item says there is nothing to suggest.
                    done = [&] {
                        return m_view->statusMessage() ==
                               QStringLiteral("No suggestion for this item");
                    };
                    break;
                case Action::openPreferences:
                case Action::quit:
                    QFAIL("the menu's keys are not the window's");
                }
                STOWBIRD_TRY_VERIFY2(done(), what.constData(), 5000);
                m_view->cancelRename();
                m_view->setShowingCheatSheet(false);
                m_view->setShowingHistory(false);
                m_services->revealer->revealed.clear();
                opened.clear();
            }
        }
    }

    // The cheat sheet and the palette show the table's keys and captions, and every key
    // they show is a key of that row's action.
    void shownKeysAreTheTablesKeys()
    {
        // What a user presses for a cap.
        const auto keyOfCap = [](QString cap, bool shift) {
            const bool command = cap.startsWith(QStringLiteral("Ctrl+"));
            cap.remove(QStringLiteral("Ctrl+")).remove(QRegularExpression(QStringLiteral("^. ")));
            static const QHash<QString, char16_t> named = {{QStringLiteral("\u232B"), u'\x08'},
                                                           {QStringLiteral("Tab"), u'\t'},
                                                           {QStringLiteral("Esc"), u'\x1b'},
                                                           {QStringLiteral("Space"), u' '}};
            if (cap.size() != 1 && !named.contains(cap))
                qFatal("unreadable cap %s", qPrintable(cap));
            return Key{named.contains(cap) ? QChar(named.value(cap)) : cap[0].toLower(), command,
                       shift};
        };
        const auto actionOf = [](const Key& key) {
            const TriageKeyTable::Entry* entry =
                TriageKeyTable::find(key.character, key.command, key.shift);
            return entry ? std::optional(entry->action) : std::nullopt;
        };

        GlobalShortcutService shortcut;
        KeyboardCheatSheetView card(shortcut, [] {});
        QList<const TriageKeyTable::Entry*> listed;
        for (const TriageKeyTable::Entry& entry : TriageKeyTable::entries()) {
            if (entry.column >= 0)
                listed.append(&entry);
        }
        const auto columns = card.findChildren<QWidget*>(QStringLiteral("shortcutColumn"));
        QCOMPARE(columns.size(), TriageKeyTable::columnHeadings().size());
        for (qsizetype column = 0; column < columns.size(); ++column) {
            for (QWidget* row :
                 columns[column]->findChildren<QWidget*>(QStringLiteral("shortcutRow"))) {
                QStringList caps;
                for (QObject* child :
                     row->findChild<QWidget*>(QStringLiteral("keyGroup"))->children()) {
                    if (auto* cap = qobject_cast<KeyCapView*>(child))
                        caps << cap->text();
                    else if (auto* word = qobject_cast<QLabel*>(child))
                        caps << word->text();
                }
                QVERIFY(!listed.isEmpty());
                const TriageKeyTable::Entry& entry = *listed.takeFirst();
                QCOMPARE(column, qsizetype(entry.column));
                QCOMPARE(row->findChild<QLabel*>(QStringLiteral("caption"))->text(), entry.caption);
                QCOMPARE(caps, entry.caps);
                // "Ctrl" "," is one chord; of "1" "..." "9" the two ends are checked; "Shift"
                // holds for the caps after it.
                bool shift = false;
                for (qsizetype i = 0; i < caps.size(); ++i) {
                    QString cap = caps[i];
                    if (cap == TriageKeyTable::orWord || cap == QStringLiteral("..."))
                        continue;
                    if (cap == QStringLiteral("Shift")) {
                        shift = true;
                        continue;
                    }
                    if (cap == QStringLiteral("Ctrl"))
                        cap += QLatin1Char('+') + caps[++i];
                    QVERIFY2(actionOf(keyOfCap(cap, shift)) == entry.action, qPrintable(cap));
                }
            }
        }
        QVERIFY(listed.isEmpty());

        // The palette's hints, and a click on one does what its keys do.
        QList<Action> clicked;
        ActionPaletteView::Callbacks callbacks;
        callbacks.onTrash = [&] { clicked << Action::trash; };
        callbacks.onSkip = [&] { clicked << Action::skip; };
        callbacks.onStartRename = [&] { clicked << Action::rename; };
        callbacks.onUndo = [&] { clicked << Action::undo; };
        callbacks.onRevealInFinder = [&] { clicked << Action::reveal; };
        ActionPaletteView palette(callbacks);
        QList<Action> hinted;
        for (ActionShortcutHint* hint : palette.findChildren<ActionShortcutHint*>()) {
            const QStringList caps = hint->keys().split(QStringLiteral(" / "));
            const std::optional<Action> action = actionOf(keyOfCap(caps.first(), false));
            QVERIFY2(action, qPrintable(hint->keys()));
            for (const QString& cap : caps)
                QVERIFY2(actionOf(keyOfCap(cap, false)) == action, qPrintable(cap));
            const TriageKeyTable::Entry& entry = TriageKeyTable::entry(*action);
            QCOMPARE(hint->keys(), entry.hintKeys);
            QCOMPARE(hint->label(), entry.hintLabel);
            QVERIFY(hint->accessibleDescription().contains(hint->keys()));
            hinted << *action;
            clicked.clear();
            hint->click();
            // Esc's hint only shows the key: the window closes on Escape itself.
            QCOMPARE(clicked, *action == Action::closeWindow ? QList<Action>() : QList{*action});
        }
        QList<Action> expected;
        for (const TriageKeyTable::Entry& entry : TriageKeyTable::entries()) {
            if (!entry.hintKeys.isEmpty())
                expected << entry.action;
        }
        std::sort(hinted.begin(), hinted.end());
        std::sort(expected.begin(), expected.end());
        QCOMPARE(hinted, expected);
    }
};

STOWBIRD_TEST_MAIN(TestKeyLayouts)
#include "TestKeyLayouts.moc"
