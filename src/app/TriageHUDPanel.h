#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QVBoxLayout;

// The window that carries the triage HUD: one per process, created at launch, shown
// centred on the primary screen, hidden (never destroyed) when closed.
class TriageHUDPanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int defaultWidth = 840;
    static constexpr int defaultHeight = 540;
    static constexpr int minimumWidth = 760;
    static constexpr int minimumHeight = 480;

    explicit TriageHUDPanel(QWidget* parent = nullptr);

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

signals:
    // The user closed the panel (close button, window manager): it is hidden already.
    void closedByUser();
    // The panel has been painted for the first time (once per process).
    void firstFramePainted();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void notePainted();

    QVBoxLayout* m_layout;
    QWidget* m_notice = nullptr;
    QLabel* m_noticeText = nullptr;
    QPointer<QWidget> m_content;
    bool m_painted = false;
};
