#include "views/TriageRenamePanel.h"

#include "views/ActionPaletteView.h"
#include "views/InlineRenameView.h"
#include "views/Theme.h"

#include <QLabel>
#include <QVBoxLayout>

TriageRenamePanel::TriageRenamePanel(Callbacks callbacks, QWidget* parent)
    : QWidget(parent), m_callbacks(std::move(callbacks))
{
    setObjectName(QStringLiteral("renamePanel"));
    setMinimumWidth(ActionPaletteView::minimumColumnWidth);
    setMaximumWidth(ActionPaletteView::maximumColumnWidth);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(16, 16, 16, 16);
    m_layout->setSpacing(10);
    m_layout->addWidget(
        Theme::label(tr("RENAME FILE"), 11, QFont::Bold, Theme::secondary(palette()), this));
    // The field goes here (index 1) while a rename is open.
    m_layout->addWidget(Theme::label(tr("Press Return to confirm, Escape to cancel"), 11,
                                     QFont::Normal, Theme::secondary(palette()), this));
    m_layout->addStretch(1);
}

void TriageRenamePanel::openField(const QString& text)
{
    if (!m_field) {
        m_field = new InlineRenameView(text, m_callbacks.onTextChanged, m_callbacks.onCommit,
                                       m_callbacks.onCancel, this);
        m_layout->insertWidget(1, m_field);
    } else {
        m_field->setText(text);
    }
    m_field->show();
}

void TriageRenamePanel::closeField()
{
    if (!m_field)
        return;
    m_field->hide();
    m_field->deleteLater();
    m_field = nullptr;
}
