#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

// Shows one image centred and scaled down to fit (never enlarged beyond its own size),
// optionally with a play badge that invites a click.
class ImageCanvas : public QWidget
{
    Q_OBJECT
public:
    explicit ImageCanvas(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    QImage image() const { return m_image; }
    void clear();

    // Shows the play badge over the image (an animation that is not playing).
    void setPlayBadgeVisible(bool visible);
    bool isPlayBadgeVisible() const { return m_playBadge; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect imageRect() const;

    QImage m_image;
    QPixmap m_scaled; // m_image scaled for the current rectangle
    bool m_playBadge = false;
};
