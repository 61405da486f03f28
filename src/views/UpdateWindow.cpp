#include "views/UpdateWindow.h"

#include "views/ReleaseNotesView.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

UpdateWindow::UpdateWindow(QWidget* parent)
    : QDialog(parent), m_headline(new QLabel(this)), m_message(new QLabel(this)),
      m_progress(new QProgressBar(this)), m_notes(new ReleaseNotesView(this)),
      m_downloadButton(new QPushButton(tr("Download Update"), this)),
      m_closeButton(new QPushButton(tr("Close"), this)),
      m_openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    setWindowTitle(tr("Software Update"));
    setMinimumWidth(420);

    QFont headlineFont = m_headline->font();
    headlineFont.setBold(true);
    headlineFont.setPointSizeF(headlineFont.pointSizeF() * 1.2);
    m_headline->setFont(headlineFont);
    m_message->setWordWrap(true);
    m_message->setTextFormat(Qt::PlainText);
    m_progress->setRange(0, 0);
    m_notes->setMinimumHeight(160);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_closeButton);
    buttons->addWidget(m_downloadButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_headline);
    layout->addWidget(m_message);
    layout->addWidget(m_progress);
    layout->addWidget(m_notes, 1);
    layout->addLayout(buttons);

    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(m_downloadButton, &QPushButton::clicked, this, [this] {
        if (m_downloadUrl.isValid())
            m_openUrl(m_downloadUrl);
        close();
    });
}

void UpdateWindow::showChecking()
{
    m_headline->setText(tr("Checking for updates…"));
    m_message->clear();
    m_progress->show();
    m_notes->hide();
    m_downloadButton->hide();
    m_downloadUrl.clear();
    m_closeButton->setText(tr("Cancel"));
    present();
}

void UpdateWindow::showUpdateAvailable(const QString& newVersion, const QString& currentVersion,
                                       const QString& notes, const QUrl& downloadUrl)
{
    m_headline->setText(tr("A new version of Stowbird is available!"));
    m_message->setText(tr("Stowbird %1 is now available (you have %2). Would you like to "
                          "download it now?")
                           .arg(newVersion, currentVersion));
    m_progress->hide();
    m_notes->setNotes(notes);
    m_notes->setVisible(!notes.isEmpty());
    m_downloadUrl = downloadUrl;
    m_downloadButton->show();
    m_downloadButton->setDefault(true);
    m_closeButton->setText(tr("Remind Me Later"));
    present();
}

void UpdateWindow::showUpToDate(const QString& currentVersion)
{
    m_headline->setText(tr("You're up to date!"));
    m_message->setText(
        tr("Stowbird %1 is currently the newest version available.").arg(currentVersion));
    m_progress->hide();
    m_notes->hide();
    m_downloadButton->hide();
    m_downloadUrl.clear();
    m_closeButton->setText(tr("OK"));
    present();
}

void UpdateWindow::showError(const QString& detail)
{
    m_headline->setText(tr("Update Error!"));
    m_message->setText(tr("An error occurred in retrieving update information. Please try "
                          "again later.\n\n%1")
                           .arg(detail));
    m_progress->hide();
    m_notes->hide();
    m_downloadButton->hide();
    m_downloadUrl.clear();
    m_closeButton->setText(tr("OK"));
    present();
}

QString UpdateWindow::headline() const
{
    return m_headline->text();
}

QString UpdateWindow::message() const
{
    return m_message->text();
}

QString UpdateWindow::notes() const
{
    return m_notes->isHidden() ? QString() : m_notes->toPlainText();
}

void UpdateWindow::present()
{
    show();
    raise();
    activateWindow();
}
