#pragma once

#include "views/CardShadow.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>

class GlobalShortcutService;
class KeyboardCheatSheetView;
class QVariantAnimation;

// Covers its parent completely (following its resizes), dims it with a black scrim and
// shows the keyboard cheat sheet centred on top. A click on the scrim, the card's close
// button, "Got it", Escape or "?" call onDismiss; every other key is swallowed while the
// overlay has focus. onDismiss should hide the overlay or delete it with deleteLater().
class CheatSheetOverlay : public QWidget
{
    Q_OBJECT
public:
    static constexpr qreal scrimOpacity = 0.4;
    static constexpr int animationMilliseconds = 220;

    CheatSheetOverlay(const GlobalShortcutService& shortcut, std::function<void()> onDismiss,
                      QWidget* parent);
    ~CheatSheetOverlay() override;

    KeyboardCheatSheetView* card() const { return m_card; }

    // Shows the overlay, fading the scrim in while the card fades in and grows from 95 %.
    void showAnimated();
    // The reverse of showAnimated(), hiding the overlay at the end.
    void hideAnimated();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeCard();
    void animateTo(qreal target, bool hideAtEnd);
    void setProgress(qreal progress);
    bool onScrim(const QPointF& position) const;
    void dismiss();

    std::function<void()> m_onDismiss;
    KeyboardCheatSheetView* m_card;
    QVariantAnimation* m_animation;
    CardShadow m_shadow;
    // 0 = fully hidden, 1 = fully shown.
    qreal m_progress = 1.0;
    // While animating, the card is drawn from this snapshot so that it can scale.
    QPixmap m_snapshot;
    bool m_pressOnScrim = false;
};
