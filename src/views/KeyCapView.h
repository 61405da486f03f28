#pragma once

#include <QString>
#include <QWidget>

// One key drawn as a small rounded cap: the key's text in a semibold monospaced font on the
// control-background colour, outlined by a faint line.
class KeyCapView : public QWidget
{
    Q_OBJECT
public:
    explicit KeyCapView(const QString& text, QWidget* parent = nullptr);

    QString text() const { return m_text; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};
