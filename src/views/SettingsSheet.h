#pragma once

#include "views/CardShadow.h"

#include <QWidget>

#include <functional>

class ConfigurationService;
class LaunchAtLoginService;
class QScrollArea;
class SettingsView;
class GlobalShortcutService;
class TelemetryService;
class UpdateService;

// The preferences shown as a sheet over the triage window: it covers its parent (following
// its resizes), dims it, and shows the settings view centred on top. Clicks on the dimmed
// area do nothing, as with any sheet; Save and Cancel end with onClose. Create one each
// time the sheet opens (the view's working copies live as long as it does) and delete it
// with deleteLater() from onClose.
class SettingsSheet : public QWidget
{
    Q_OBJECT
public:
    static constexpr qreal scrimOpacity = 0.25;
    static constexpr int margin = 12;

    SettingsSheet(ConfigurationService& configService, LaunchAtLoginService& launchAtLogin,
                  UpdateService& updates, TelemetryService& telemetry,
                  const GlobalShortcutService& shortcut, std::function<void()> onClose,
                  QWidget* parent);

    SettingsView* view() const { return m_view; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void placeView();

    SettingsView* m_view;
    // Scrolls the view when the window is smaller than the sheet.
    QScrollArea* m_frame;
    CardShadow m_shadow;
};
