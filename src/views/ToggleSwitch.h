#pragma once

#include <QAbstractButton>

class QVariantAnimation;

// An on/off switch with its label on the left: a pill-shaped track in the accent colour
// when on and a muted colour when off, with a round knob that slides across. Checkable
// from the start; toggled() reports every change, clicked() only those made by the user.
class ToggleSwitch : public QAbstractButton
{
    Q_OBJECT
public:
    explicit ToggleSwitch(const QString& text = {}, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr int trackWidth = 34;
    static constexpr int trackHeight = 20;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;
    void checkStateSet() override;
    void nextCheckState() override;

private:
    QRect trackRect() const;
    void slideKnob();

    QVariantAnimation* m_animation;
    // 0 = knob at the off end, 1 = at the on end.
    qreal m_knobPosition = 0.0;
};
