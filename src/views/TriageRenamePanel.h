#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class InlineRenameView;
class QVBoxLayout;

// The right-hand column of the HUD while an item is renamed: a heading, the name field and
// how to confirm or cancel. The field is made when a rename opens and dropped when it
// closes, so that each rename starts from a fresh field with the item's name selected.
class TriageRenamePanel : public QWidget
{
    Q_OBJECT
public:
    struct Callbacks
    {
        std::function<void(const QString&)> onTextChanged; // every keystroke
        std::function<void(const QString&)> onCommit;
        std::function<void()> onCancel;
    };

    TriageRenamePanel(Callbacks callbacks, QWidget* parent);

    // Shows the field with text, making it when no rename is open.
    void openField(const QString& text);
    // Drops the field (later: it may be closing from its own key handler).
    void closeField();

private:
    Callbacks m_callbacks;
    QVBoxLayout* m_layout = nullptr;
    QPointer<InlineRenameView> m_field;
};
