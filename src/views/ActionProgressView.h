#pragma once

#include "services/TriageActionController.h"

#include <QWidget>

#include <functional>

class ElidedLabel;
class QLabel;
class QPushButton;

// The strip along the bottom of the triage window while a file action runs: what runs
// ("Moving Photos to Backup — 2 more waiting"), a bar, "1.2 GB of 3.4 GB · 35% · about
// 2 min left" (a group action first says how many of its files are done: "3 of 14 files ·
// 1.2 GB of 3.4 GB · ..."), and a Cancel button. It says so when the action stopped
// answering.
class ActionProgressView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int stripHeight = 36;

    explicit ActionProgressView(std::function<void()> onCancel, QWidget* parent = nullptr);

    void setAction(const TriageActionController::RunningAction& action);

    // "Moving Photos to Backup — 2 more waiting" (the count is drawn apart so that eliding
    // a long name never hides it).
    QString title() const { return m_titleText; }
    QString detail() const;
    // 0..1, or below 0 while the size is not known.
    double fraction() const { return m_fraction; }
    QPushButton* cancelButton() const { return m_cancel; }

    // "about 6 s left", "about 3 min left", "about 1 h 5 min left".
    static QString timeLeftText(qint64 ms);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<void()> m_onCancel;
    QString m_titleText;
    double m_fraction = -1;
    bool m_stalled = false;
    ElidedLabel* m_title = nullptr;
    QLabel* m_waiting = nullptr;
    QWidget* m_bar = nullptr; // the place the bar is drawn in
    QLabel* m_detail = nullptr;
    QPushButton* m_cancel = nullptr;
};
