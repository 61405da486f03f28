#include "models/TriageKeyTable.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

using Action = TriageKeyTable::Action;
using Key = TriageKeyTable::Key;

QList<Key> digits(bool shift = false)
{
    QList<Key> keys;
    for (char16_t digit = u'1'; digit <= u'9'; ++digit)
        keys.append({QChar(digit), false, shift});
    return keys;
}

} // namespace

const QList<TriageKeyTable::Entry>& TriageKeyTable::entries()
{
    // In the cheat sheet's order, column by column.
    static const QList<Entry> table = {
        {.action = Action::fileToSlot,
         .keys = digits(),
         .name = QStringLiteral("Move to slot"),
         .column = 0,
         .caps = {QStringLiteral("1"), QStringLiteral("..."), QStringLiteral("9")},
         .caption = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Move to Slot 1–9")),
         .keyName = QStringLiteral("1\u20139")},
        {.action = Action::fileGroupToSlot,
         .keys = digits(true),
         .name = QStringLiteral("Move all alike to slot"),
         .column = 0,
         .caps = {QStringLiteral("Shift"), QStringLiteral("1"), QStringLiteral("..."),
                  QStringLiteral("9")},
         .caption =
             QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Move all alike to Slot 1–9")),
         .keyName = shifted(QStringLiteral("1\u20139"))},
        {.action = Action::moveToCustomFolder,
         .keys = {{u'0'}},
         .name = QStringLiteral("Move to custom folder"),
         .column = 0,
         .caps = {QStringLiteral("0")},
         .caption = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Browse custom folder...")),
         .keyName = QStringLiteral("0")},
        {.action = Action::fileLikeLast,
         .keys = {{u'.'}},
         .name = QStringLiteral("Same as last"),
         .column = 0,
         .caps = {QStringLiteral(".")},
         .caption =
             QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Move where the last file went")),
         .keyName = QStringLiteral(".")},
        {.action = Action::trash,
         .keys = {{u'd'}, {u'\x08'}, {u'\x7f'}},
         .name = QStringLiteral("Trash"),
         .column = 0,
         .caps = {QStringLiteral("\u232B"), orWord, QStringLiteral("D")},
         .caption = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Move to Trash")),
         .hintKeys = QStringLiteral("D / \u232B"),
         .hintLabel = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Trash file")),
         .hintColumn = 0,
         .hintRow = 0,
         .keyName = QStringLiteral("D")},
        {.action = Action::trashGroup,
         .keys = {{u'd', false, true}, {u'\x08', false, true}, {u'\x7f', false, true}},
         .name = QStringLiteral("Trash all alike"),
         .column = 0,
         .caps = {QStringLiteral("Shift"), QStringLiteral("D")},
         .caption = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Move all alike to Trash")),
         .keyName = shifted(QStringLiteral("D"))},
        {.action = Action::skip,
         .keys = {{u'\t'}},
         .name = QStringLiteral("Skip"),
         .column = 1,
         .caps = {QStringLiteral("\u21E5 Tab")},
         .caption = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Skip to back of queue")),
         .hintKeys = QStringLiteral("Tab"),
         .hintLabel = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Skip to end")),
         .hintColumn = 0,
         .hintRow = 1,
         .keyName = QStringLiteral("Tab")},
        {.action = Action::stepGroup,
         .keys = {{QChar(leftArrow)}, {QChar(rightArrow)}},
         .name = QStringLiteral("Look through the alike"),
         .column = 1,
         .caps = {QString(QChar(leftArrow)), QString(QChar(rightArrow))},
         .caption = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Look through all alike")),
         .keyName = QStringLiteral("\u2190 \u2192")},
        {.action = Action::cancel,
         .keys = {{u'c'}},
         .name = QStringLiteral("Cancel the running action"),
         .column = 1,
         .caps = {QStringLiteral("C")},
         .caption = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Cancel the running move")),
         .keyName = QStringLiteral("C")},
        {.action = Action::rename,
         .keys = {{u'r'}},
         .name = QStringLiteral("Rename"),
         .column = 1,
         .caps = {QStringLiteral("R")},
         .caption = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Inline rename file")),
         .hintKeys = QStringLiteral("R"),
         .hintLabel = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Inline rename")),
         .hintColumn = 0,
         .hintRow = 2,
         .keyName = QStringLiteral("R")},
        {.action = Action::undo,
         .keys = {{u'z'}, {u'z', true}},
         .name = QStringLiteral("Undo"),
         .column = 1,
         .caps = {QStringLiteral("Z"), orWord, chord(QStringLiteral("Z"))},
         .caption = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Undo last triage action")),
         .hintKeys = chord(QStringLiteral("Z")),
         .hintLabel = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Undo last action")),
         .hintColumn = 1,
         .hintRow = 1,
         .keyName = chord(QStringLiteral("Z"))},
        {.action = Action::reveal,
         .keys = {{u'o'}, {u'o', true}},
         .name = QStringLiteral("Reveal in File Manager"),
         .column = 1,
         .caps = {QStringLiteral("O"), orWord, chord(QStringLiteral("O"))},
         .caption = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Reveal in File Manager")),
         .hintKeys = QStringLiteral("O / ") + chord(QStringLiteral("O")),
         .hintLabel = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Open in File Manager")),
         .hintColumn = 1,
         .hintRow = 0,
         .keyName = QStringLiteral("O")},
        {.action = Action::openInDefaultApp,
         .keys = {{u' '}},
         .name = QStringLiteral("Open in default app"),
         .column = 2,
         .caps = {QStringLiteral("Space")},
         .caption =
             QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Open preview in default app")),
         .keyName = QStringLiteral("Space")},
        {.action = Action::showHistory,
         .keys = {{u'h'}},
         .name = QStringLiteral("Show history"),
         .column = 2,
         .caps = {QStringLiteral("H")},
         .caption = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Show history")),
         .keyName = QStringLiteral("H")},
        {.action = Action::toggleCheatSheet,
         .keys = {{u'?'}},
         .name = QStringLiteral("Keyboard shortcuts"),
         .column = 2,
         .caps = {QStringLiteral("?")},
         .caption = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Toggle this cheat sheet")),
         .keyName = QStringLiteral("?")},
        {.action = Action::openPreferences,
         .keys = {{u',', true}},
         .name = QStringLiteral("Preferences"),
         .column = 2,
         .caps = {QStringLiteral("Ctrl"), QStringLiteral(",")},
         .caption = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Open Preferences")),
         .keyName = chord(QStringLiteral(",")),
         .menu = true},
        {.action = Action::closeWindow,
         .keys = {{u'\x1b'}, {u'w', true}},
         .name = QStringLiteral("Close HUD"),
         .column = 2,
         .caps = {QStringLiteral("\u238B Esc")},
         .caption = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Close Stowbird window")),
         .hintKeys = QStringLiteral("Esc"),
         .hintLabel = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Close")),
         .hintColumn = 1,
         .hintRow = 2,
         .keyName = QStringLiteral("Esc")},
        {.action = Action::quit,
         .keys = {{u'q', true}},
         .name = QStringLiteral("Quit"),
         .column = 2,
         .caps = {QStringLiteral("Ctrl"), QStringLiteral("Q")},
         .caption = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "Quit application")),
         .keyName = chord(QStringLiteral("Q")),
         .menu = true},
        {.action = Action::reviewSkipped,
         .keys = {{u'\r'}},
         .name = QStringLiteral("Review skipped files"),
         .keyName = QStringLiteral("Return")},
        {.action = Action::acceptSuggestion,
         .keys = {{u'\r'}},
         .name = QStringLiteral("File as suggested"),
         .keyName = QStringLiteral("Return")},
    };
    return table;
}

const QStringList& TriageKeyTable::columnHeadings()
{
    static const QStringList headings = {
        QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "TRIAGE & ROUTING")),
        QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "REVIEW & ACTIONS")),
        QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "GENERAL"))};
    return headings;
}

const TriageKeyTable::Entry* TriageKeyTable::find(QChar character, bool command, bool shift)
{
    const QChar folded = command ? character : character.toLower();
    for (const bool withShift : {true, false}) {
        if (withShift && !shift)
            continue;
        const Key key{folded, command, withShift};
        for (const Entry& entry : entries()) {
            if (entry.keys.contains(key))
                return &entry;
        }
    }
    return nullptr;
}

const TriageKeyTable::Entry& TriageKeyTable::entry(Action action)
{
    const QList<Entry>& table = entries();
    const auto found = std::find_if(table.begin(), table.end(),
                                    [action](const Entry& e) { return e.action == action; });
    Q_ASSERT(found != table.end());
    return *found;
}

QString TriageKeyTable::translated(const QString& text)
{
    return QCoreApplication::translate("TriageKeyTable", text.toUtf8().constData());
}

QString TriageKeyTable::chord(const QString& key)
{
    return QStringLiteral("Ctrl+") + key;
}

QString TriageKeyTable::shifted(const QString& key)
{
    return QStringLiteral("Shift+") + key;
}

bool TriageKeyTable::isLatinLetterOrDigit(QChar character)
{
    const char16_t c = character.unicode();
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}
