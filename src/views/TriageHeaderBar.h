#pragma once

#include <QWidget>

class QLabel;

// The strip along the top of the HUD: a tray glyph that fills while something waits, the
// count of waiting items ("2 items remaining", "Looking…"), a spinner while file actions
// run, and icon buttons for the shortcut sheet, the settings and closing the window. It only
// draws what it is told; the window decides what that is.
class TriageHeaderBar : public QWidget
{
    Q_OBJECT
public:
    explicit TriageHeaderBar(QWidget* parent);

    // Redrawn only when it changes: the glyph is rendered from an icon.
    void setWaiting(bool waiting);
    void setCountText(const QString& text);
    void setBusy(bool busy);

signals:
    void cheatSheetClicked();
    void settingsClicked();
    void closeClicked();

private:
    QLabel* m_trayIcon = nullptr;
    QLabel* m_countLabel = nullptr;
    QWidget* m_spinner = nullptr;
    int m_shownWaiting = -1; // none drawn yet
};
