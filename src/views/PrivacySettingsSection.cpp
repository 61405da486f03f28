#include "views/PrivacySettingsSection.h"

#include "services/HistoryStore.h"
#include "services/TelemetryService.h"
#include "views/CreateFolderOffer.h"
#include "views/SettingsControls.h"
#include "views/Theme.h"
#include "views/ToggleSwitch.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

PrivacySettingsSection::PrivacySettingsSection(bool suggestDestinations, bool telemetryEnabled,
                                               const TelemetryService& telemetry,
                                               QWidget* offerHost, QWidget* parent)
    : QWidget(parent), m_telemetry(telemetry), m_offerHost(offerHost),
      m_suggestDestinations(suggestDestinations), m_telemetryEnabled(telemetryEnabled)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    m_heading = new QLabel(tr("Privacy & Diagnostics"), this);
    m_heading->setFont(Theme::font(11));
    layout->addWidget(m_heading);
    makeHistoryRow(layout);
    makeDiagnosticsRow(layout);
    applyPalette();
}

void PrivacySettingsSection::makeHistoryRow(QVBoxLayout* layout)
{
    // What is learned from the history stays on this computer; it can be turned off and
    // deleted here.
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    m_suggestSwitch = new ToggleSwitch(tr("Suggest destinations from history"), this);
    m_suggestSwitch->setObjectName(QStringLiteral("suggestDestinationsSwitch"));
    m_suggestSwitch->setChecked(m_suggestDestinations);
    m_suggestSwitch->setAccessibleDescription(
        tr("Highlights where items like the current one went before; Return files it there. "
           "Learned from this computer's history only; takes effect on Save"));
    m_forgetButton = SettingsControls::smallButton(tr("Forget History\u2026"), this);
    m_forgetButton->setObjectName(QStringLiteral("forgetHistoryButton"));
    m_forgetButton->setAccessibleDescription(
        tr("Deletes the history of triage actions and what was learned from it, after asking"));
    m_forgetButton->setEnabled(false);
    row->addWidget(m_suggestSwitch);
    row->addStretch(1);
    row->addWidget(m_forgetButton);
    layout->addLayout(row);
    m_historyStatus = new QLabel(this);
    m_historyStatus->setObjectName(QStringLiteral("historyStatus"));
    m_historyStatus->setFont(Theme::font(11));
    m_historyStatus->setWordWrap(true);
    m_historyStatus->hide();
    layout->addWidget(m_historyStatus);
    connect(m_suggestSwitch, &ToggleSwitch::toggled, this,
            [this](bool enabled) { m_suggestDestinations = enabled; });
    connect(m_forgetButton, &QPushButton::clicked, this, &PrivacySettingsSection::forgetHistory);
}

void PrivacySettingsSection::makeDiagnosticsRow(QVBoxLayout* layout)
{
    m_telemetrySwitch = new ToggleSwitch(QString(), this);
    m_telemetrySwitch->setObjectName(QStringLiteral("diagnosticsSwitch"));
    m_telemetrySwitch->setChecked(m_telemetryEnabled);
    layout->addWidget(m_telemetrySwitch);
    m_privacyNote = new QLabel(this);
    m_privacyNote->setObjectName(QStringLiteral("privacyNote"));
    m_privacyNote->setFont(Theme::font(10));
    m_privacyNote->setWordWrap(true);
    layout->addWidget(m_privacyNote);
    setDiagnosticsTexts();
    connect(m_telemetrySwitch, &ToggleSwitch::toggled, this,
            [this](bool enabled) { m_telemetryEnabled = enabled; });
}

void PrivacySettingsSection::setDiagnosticsTexts()
{
    // What the switch says is what this build does: most builds have no secret for the
    // measurement endpoint and send nothing at all; crash reports never leave the computer.
    if (m_telemetry.sendsUsageData()) {
        m_telemetrySwitch->setText(tr("Send anonymous usage counts to the developers"));
        m_privacyNote->setText(tr("Once per session: counts of actions and kinds of files. "
                                  "Names, paths, contents and crash reports are never sent."));
    } else {
        m_telemetrySwitch->setText(
            tr("Keep anonymous usage counts on this computer (nothing is sent)"));
        m_privacyNote->setText(tr("Crash reports stay here too. File names, folder paths and "
                                  "file contents are never recorded."));
    }
    m_telemetrySwitch->setAccessibleDescription(
        tr("%1 Takes effect on Save.").arg(m_privacyNote->text()));
}

void PrivacySettingsSection::showLiveState(bool suggestDestinations, bool telemetryEnabled)
{
    m_suggestDestinations = suggestDestinations;
    m_telemetryEnabled = telemetryEnabled;
    const QSignalBlocker blockTelemetry(m_telemetrySwitch);
    const QSignalBlocker blockSuggest(m_suggestSwitch);
    m_telemetrySwitch->setChecked(m_telemetryEnabled);
    m_suggestSwitch->setChecked(m_suggestDestinations);
}

void PrivacySettingsSection::setHistory(HistoryStore* history)
{
    if (m_history)
        disconnect(m_history, nullptr, this, nullptr);
    m_history = history;
    m_forgetButton->setEnabled(m_history != nullptr);
    if (!m_history)
        return;
    connect(m_history, &HistoryStore::forgetFinished, this,
            [this](bool ok, const QString& message) {
                m_forgetButton->setEnabled(true);
                m_historyStatus->setText(message);
                QPalette colors = m_historyStatus->palette();
                colors.setColor(QPalette::WindowText,
                                ok ? Theme::secondary(palette()) : Theme::orange());
                m_historyStatus->setPalette(colors);
                m_historyStatus->show();
            });
}

void PrivacySettingsSection::forgetHistory()
{
    if (!m_history || m_forgetOffer)
        return;
    auto close = [this] {
        if (m_forgetOffer) {
            m_forgetOffer->hide();
            m_forgetOffer->deleteLater();
            m_forgetOffer = nullptr;
        }
        m_offerHost->setFocus(Qt::OtherFocusReason);
    };
    m_forgetOffer = new CreateFolderOffer(
        tr("Forget the history? Every recorded action and what Stowbird learned from it is "
           "deleted, and earlier actions can no longer be undone from the history."),
        tr("Forget History"),
        [this, close] {
            close();
            m_forgetButton->setEnabled(false);
            m_historyStatus->setText(tr("Deleting the history\u2026"));
            m_historyStatus->show();
            m_history->forget();
        },
        close, m_offerHost);
    m_forgetOffer->setObjectName(QStringLiteral("forgetHistoryOffer"));
    m_forgetOffer->show();
}

void PrivacySettingsSection::applyPalette()
{
    SettingsControls::useSecondaryColor({m_heading, m_privacyNote}, palette());
}

void PrivacySettingsSection::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        applyPalette();
}
