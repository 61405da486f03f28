#pragma once

#include <QString>
#include <QWidget>

// The item's file name on the palette's card: on at most two lines, wrapped anywhere and, when
// longer, cut in the middle so that both its start and its extension stay visible. A name
// reads in its own direction (an Arabic name from the right) whatever the window's direction.
class FileNameLabel : public QWidget
{
    Q_OBJECT
public:
    explicit FileNameLabel(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const { return m_text; }

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int lineWidth) const override;

    // The text as drawn for a width: the whole name when two lines hold it, else cut in
    // the middle so that both ends stay visible.
    QString displayText(int lineWidth) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int lineCount(int lineWidth) const;
    int layoutLines(const QString& text, int lineWidth) const;

    QString m_text;
};
