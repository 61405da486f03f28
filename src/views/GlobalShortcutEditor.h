#pragma once

#include <QKeyEvent>
#include <QString>
#include <QWidget>

class ConfigurationService;
class GlobalShortcutService;
class QKeySequence;
class QKeySequenceEdit;
class QLabel;
class QPushButton;

// The preferences' row for the shortcut that opens the window from anywhere: a field that
// records one chord as it is pressed, a button that turns the shortcut off, what became of
// the one in effect now (set up, being set up, not working) and, under them, why a chord or
// the shortcut cannot work. It edits a working copy that the owner saves.
class GlobalShortcutEditor : public QWidget
{
    Q_OBJECT
public:
    // hotkey: the working copy to start from ("Alt+Shift+D"; empty: off).
    GlobalShortcutEditor(const GlobalShortcutService& shortcut, const ConfigurationService& config,
                         const QString& hotkey, QWidget* parent);

    // The working copy as Save writes it; empty: turned off.
    QString hotkey() const { return m_hotkey; }
    void setHotkey(const QString& hotkey);

signals:
    // Plain Escape, Return or Enter pressed in the field: they keep their meaning for the
    // whole preferences (cancel, save) instead of being recorded.
    void dialogKeyPressed(QKeyEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QKeySequenceEdit* makeField();
    // Shows the working copy in the field.
    void showWorkingHotkey();
    // A chord pressed in the field becomes the working copy, when it can be one.
    void takeRecordedChord(const QKeySequence& sequence);
    // What the shortcut service made of the shortcut in effect, and any problem.
    void updateState();

    const GlobalShortcutService& m_shortcut;
    const ConfigurationService& m_config;
    QString m_hotkey;
    // Why the last chord recorded could not be taken; empty when it was.
    QString m_recordingProblem;
    QKeySequenceEdit* m_edit = nullptr;
    QPushButton* m_offButton = nullptr;
    QLabel* m_value = nullptr;
    QLabel* m_problem = nullptr;
};
