#pragma once

#include <QWidget>

class CreateFolderOffer;
class HistoryStore;
class QLabel;
class QPushButton;
class QVBoxLayout;
class TelemetryService;
class ToggleSwitch;

// The "Privacy & Diagnostics" part of the preferences: whether destinations are suggested
// from the history (learned on this computer only), "Forget History..." that deletes it after
// asking (the question shown over offerHost), and the diagnostics switch, worded for what this
// build does with the counts. The switches are working copies that the owner saves.
class PrivacySettingsSection : public QWidget
{
    Q_OBJECT
public:
    PrivacySettingsSection(bool suggestDestinations, bool telemetryEnabled,
                           const TelemetryService& telemetry, QWidget* offerHost, QWidget* parent);

    bool suggestDestinations() const { return m_suggestDestinations; }
    bool telemetryEnabled() const { return m_telemetryEnabled; }
    // The switches show these values without registering anything.
    void showLiveState(bool suggestDestinations, bool telemetryEnabled);

    // The history "Forget History..." deletes; without one the button is disabled.
    void setHistory(HistoryStore* history);
    // Asks whether to delete the history; on yes, deletes it (the outcome shows under the
    // button).
    void forgetHistory();

protected:
    void changeEvent(QEvent* event) override;

private:
    void makeHistoryRow(QVBoxLayout* layout);
    void makeDiagnosticsRow(QVBoxLayout* layout);
    void setDiagnosticsTexts();
    void applyPalette();

    const TelemetryService& m_telemetry;
    QWidget* m_offerHost;
    bool m_suggestDestinations;
    bool m_telemetryEnabled;
    HistoryStore* m_history = nullptr;
    QLabel* m_heading = nullptr;
    ToggleSwitch* m_suggestSwitch = nullptr;
    QPushButton* m_forgetButton = nullptr;
    QLabel* m_historyStatus = nullptr;
    CreateFolderOffer* m_forgetOffer = nullptr;
    ToggleSwitch* m_telemetrySwitch = nullptr;
    QLabel* m_privacyNote = nullptr;
};
