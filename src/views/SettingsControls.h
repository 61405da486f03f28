#pragma once

#include <QList>
#include <QString>

class QColor;
class QLabel;
class QPalette;
class QPushButton;
class QToolButton;
class QWidget;

// The small controls the preferences sections share, made alike in one place: compact push
// buttons, borderless symbol buttons, the orange line that says why something was not done,
// and captions in the secondary text colour.
class SettingsControls
{
public:
    // A push button in the small font, no wider than its text.
    static QPushButton* smallButton(const QString& text, QWidget* parent);
    // A borderless button showing symbol in color; name is its tooltip and accessible name.
    static QToolButton* symbolButton(const QString& symbol, const QString& objectName,
                                     const QString& name, const QString& description,
                                     const QColor& color, QWidget* parent);
    // A hidden, word-wrapped line in orange for a problem to report under a control.
    static QLabel* problemLabel(const QString& objectName, QWidget* parent);
    // Gives labels the secondary text colour of palette (again after a palette change).
    static void useSecondaryColor(const QList<QLabel*>& labels, const QPalette& palette);
};
