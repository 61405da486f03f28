#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

// Every key of the triage window in one table: what it does and how each place names it.
// The window's key map, the palette's key hints, the keyboard cheat sheet and the accessible
// descriptions all read this table, so that a key shown anywhere is a key that does what it
// says. A new key is one more entry (and one more case where the window acts on it).
class TriageKeyTable
{
public:
    enum class Action {
        fileToSlot,      // the digit is the slot's number
        fileGroupToSlot, // Shift with the digit: the head and its look-alikes, as one action
        moveToCustomFolder,
        fileLikeLast, // where the item filed before it went, slot or folder
        trash,
        trashGroup, // Shift+D: the head and its look-alikes
        skip,
        stepGroup, // the arrows: preview the other look-alikes before acting on them all
        cancel,    // stops the running copy; its item comes back
        rename,
        undo,
        reveal,
        openInDefaultApp,
        showHistory, // the window of past actions, searchable, each one undoable
        toggleCheatSheet,
        closeWindow,
        reviewSkipped,    // on the empty state: its "Review Skipped Files" button
        acceptSuggestion, // on an item: files it where the history suggests (same key as
                          // reviewSkipped: the window decides by what it shows)
        openPreferences,
        quit,
    };

    // One key as the key map reads it: a character, whether Ctrl is held and whether Shift
    // is (only keys that mean something else with Shift say so: Shift+1 files a group).
    // Letters and digits are the key's Latin meaning on the user's layouts (a lower-case
    // letter), the other keys their character: "\t", "\x1b", "\x08" (Backspace), "\x7f"
    // (Delete), " ", "\r", "?", ".", and the arrows "←" and "→".
    struct Key
    {
        QChar character;
        bool command = false;
        bool shift = false;

        bool operator==(const Key&) const = default;
    };

    struct Entry
    {
        Action action = Action::fileToSlot;
        QList<Key> keys = {};
        // The action as the log names it ("Undo").
        QString name = {};
        // The cheat sheet: the column (-1: not listed), the caps from left to right (orWord
        // between two ways of pressing it) and the caption.
        int column = -1;
        QStringList caps = {};
        QString caption = {};
        // The palette's key hint: its keys ("D / ⌫"; empty: no hint), label and place.
        QString hintKeys = {};
        QString hintLabel = {};
        int hintColumn = 0;
        int hintRow = 0;
        // The key in a tooltip or an accessible description ("Inline Rename (R)").
        QString keyName = {};
        // The program's menu has these keys: the window passes them on.
        bool menu = false;
    };

    // A cap whose text is exactly this word is drawn as a plain word between caps.
    static inline const QString orWord = QStringLiteral(QT_TRANSLATE_NOOP("TriageKeyTable", "or"));

    static const QList<Entry>& entries();
    // The captions, hint labels, headings and the "or" word are kept in English here, as the
    // tests and the log see them; this is the text shown for one of them in the user's
    // language.
    static QString translated(const QString& text);
    // The cheat sheet's column headings, left to right.
    static const QStringList& columnHeadings();
    // The entry of a key press, from its character (letters in either case unless Ctrl is
    // held: Ctrl+Shift+Z is not Ctrl+Z), Ctrl and Shift; null when no entry has the key. With
    // Shift held, a key that has no Shift entry of its own is the key without Shift (Shift+Z
    // undoes, and "?" is typed with Shift).
    static const Entry* find(QChar character, bool command, bool shift = false);
    static const Entry& entry(Action action);
    // A chord with the command key as this platform writes it: "Ctrl+Z".
    static QString chord(const QString& key);
    // "Shift+D"
    static QString shifted(const QString& key);
    // The arrows as the table names them.
    static constexpr char16_t leftArrow = u'\u2190';
    static constexpr char16_t rightArrow = u'\u2192';
    // True for the characters the table names letters and digits by: a to z, 0 to 9.
    static bool isLatinLetterOrDigit(QChar character);
};
