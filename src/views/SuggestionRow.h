#pragma once

#include "services/SuggestionService.h"
#include "views/PaletteRow.h"

#include <QString>

// A one-line row under the destinations: a key drawn as a cap, then what it does. It shows
// the suggestion (Return, and why: "5 of the last 5 .stl files went to 3D Prints"), or, set
// with setKeyed, another key's action of the same look ("Same as last: Documents"). A click
// does what the key does.
class SuggestionRow : public PaletteRow
{
    Q_OBJECT
public:
    explicit SuggestionRow(QWidget* parent = nullptr);

    void setKeyed(const QString& key, const QString& text, const QString& accessibleName,
                  const QString& description);
    void setSuggestion(const SuggestionService::Suggestion& suggestion);
    QString text() const { return m_text; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_key;
    QString m_text;
};
