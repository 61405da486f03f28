#include "views/SettingsControls.h"

#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QLabel>
#include <QPushButton>
#include <QToolButton>

QPushButton* SettingsControls::smallButton(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setFont(Theme::font(11));
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return button;
}

QToolButton* SettingsControls::symbolButton(const QString& symbol, const QString& objectName,
                                            const QString& name, const QString& description,
                                            const QColor& color, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setIcon(SymbolIcons::icon(symbol, color));
    button->setIconSize(QSize(14, 14));
    button->setToolTip(name);
    button->setAccessibleName(name);
    button->setAccessibleDescription(description);
    return button;
}

QLabel* SettingsControls::problemLabel(const QString& objectName, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setFont(Theme::font(11));
    label->setWordWrap(true);
    // Only the text colour is set: the rest still follows the window's palette.
    QPalette colors = label->palette();
    colors.setColor(QPalette::WindowText, Theme::orange());
    label->setPalette(colors);
    label->hide();
    return label;
}

void SettingsControls::useSecondaryColor(const QList<QLabel*>& labels, const QPalette& palette)
{
    const QColor secondary = Theme::secondary(palette);
    for (QLabel* label : labels) {
        QPalette colors = label->palette();
        colors.setColor(QPalette::WindowText, secondary);
        label->setPalette(colors);
    }
}
