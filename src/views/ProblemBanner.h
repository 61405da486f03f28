#pragma once

#include <QLabel>

// The red strip under the HUD's header that says what stops Stowbird from doing its job
// while it lasts (new downloads cannot be seen, the history cannot be written), with what
// to do about it. It is hidden while nothing does; its text can be selected and copied.
class ProblemBanner : public QLabel
{
    Q_OBJECT
public:
    explicit ProblemBanner(QWidget* parent);

    // Shows summary, or hides the strip when it is empty.
    void showProblems(const QString& summary);
    // What the strip says; empty while it is hidden.
    QString shownText() const;
};
