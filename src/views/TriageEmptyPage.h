#pragma once

#include <QWidget>

#include <optional>

class QLabel;
class QPushButton;

// What the HUD shows when no item waits. It says which of three things is true: the
// folder is still being listed (an empty queue says nothing yet), the last file action is
// still running (it may fail and bring its item back), or everything is filed (Inbox Zero,
// naming the folders still watched). Its button brings skipped files back into the queue.
class TriageEmptyPage : public QWidget
{
    Q_OBJECT
public:
    enum class State { InboxZero, Looking, Finishing };

    // downloadsFolder: as the texts name it (~/Downloads).
    TriageEmptyPage(const QString& downloadsFolder, QWidget* parent);

    // otherInboxes: how many more folders are watched; progress: what the last action says
    // while it finishes (the status line is not on this page); skipped: how many files the
    // button would bring back.
    void showState(State state, int otherInboxes, const std::optional<QString>& progress,
                   qsizetype skipped);
    // The review button, for giving it the focus; hidden while nothing was skipped.
    QPushButton* reviewButton() const { return m_reviewButton; }

signals:
    void reviewSkippedClicked();

private:
    void showHeading(State state);
    QString watchedText(int otherInboxes) const;

    QString m_folder;
    QLabel* m_icon = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_message = nullptr;
    QPushButton* m_reviewButton = nullptr;
    int m_shownState = -1; // none drawn yet
};
