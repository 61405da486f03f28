#include "views/ProblemBanner.h"

#include "views/Theme.h"

ProblemBanner::ProblemBanner(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("problemBanner"));
    setFont(Theme::font(12, QFont::Medium));
    Theme::setTextColor(this, Theme::red());
    setWordWrap(true);
    setContentsMargins(16, 8, 16, 8);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    hide();
}

void ProblemBanner::showProblems(const QString& summary)
{
    setText(summary);
    setAccessibleName(summary);
    setVisible(!summary.isEmpty());
}

QString ProblemBanner::shownText() const
{
    return isHidden() ? QString() : text();
}
