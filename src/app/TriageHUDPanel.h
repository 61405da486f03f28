#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

class QLabel;
class QScreen;
class QSettings;
class QTimer;
class QVBoxLayout;

// The window that carries the triage HUD: one per process, created at launch, hidden
// (never destroyed) when closed. It remembers its size and position for each screen it
// has been on, in the user defaults, and opens where it was left; the first time on a
// screen it opens centred there.
class TriageHUDPanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int defaultWidth = 840;
    static constexpr int defaultHeight = 540;
    static constexpr int minimumWidth = 760;
    static constexpr int minimumHeight = 480;

    explicit TriageHUDPanel(QWidget* parent = nullptr);
    ~TriageHUDPanel() override;

    // Replaces the content (null removes it; the old content is deleted).
    void setContentView(QWidget* content);
    QWidget* contentView() const { return m_content; }

    // A one-line notice above the content that stays until the user dismisses it (empty
    // hides it): for things the user must know, such as settings that could not be read.
    void setNotice(const QString& text);
    QString notice() const;
    bool isNoticeShown() const;

    // Centres the panel on the primary screen's available area, shows, raises and
    // activates it. The size the user gave it is kept.
    void presentCentered();
    // Shows, raises and activates the panel where it was last left on the screen under
    // the pointer (the primary screen when that is unknown); an open panel stays put. Without a
    // saved place there, or when the saved place lies off every screen now attached, the panel
    // keeps its size and opens centred on that screen.
    void present();
    // The user-defaults key of the place kept for a screen, named after the screen and its
    // geometry, so that a different monitor on the same connector gets a place of its own.
    static QString placeSettingsKey(const QScreen* screen);

signals:
    // The user closed the panel (close button, window manager): it is hidden already.
    void closedByUser();
    // The panel has been painted for the first time (once per process).
    void firstFramePainted();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void notePainted();
    QScreen* screenUnderPointer() const;
    void centreOn(const QScreen* screen);
    // Keeps the current size and position under the key of the screen the panel is on.
    void rememberPlace();

    void makeNotice();

    QVBoxLayout* m_layout;
    QWidget* m_notice = nullptr;
    QLabel* m_noticeText = nullptr;
    QPointer<QWidget> m_content;
    bool m_painted = false;
    std::unique_ptr<QSettings> m_defaults;
    // Moves and resizes come in bursts while the user drags: the place is written once the
    // burst is over, and at once when the panel hides.
    QTimer* m_rememberTimer = nullptr;
};
