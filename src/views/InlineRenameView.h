#pragma once

#include <QWidget>

#include <functional>

class QLineEdit;
class QToolButton;

// The one-line rename field: takes focus when shown, writes every keystroke back to its
// owner at once, commits on Return or the check button, cancels on Escape or the cross.
class InlineRenameView : public QWidget
{
    Q_OBJECT
public:
    InlineRenameView(const QString& filename, std::function<void(const QString&)> onTextChanged,
                     std::function<void(const QString&)> onCommit, std::function<void()> onCancel,
                     QWidget* parent = nullptr);

    QString text() const;
    // Updates the field from the owner's text (two-way binding); keeps the cursor.
    void setText(const QString& text);
    // How much of filename the field selects when it opens: the name without its extension
    // ("report" of report.pdf, "backup" of backup.tar.gz), all of a name without one.
    static qsizetype baseNameLength(const QString& filename);
    QLineEdit* field() const { return m_field; }

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_field;
    std::function<void(const QString&)> m_onTextChanged;
    std::function<void(const QString&)> m_onCommit;
    std::function<void()> m_onCancel;
};
