#pragma once

#include "services/UpdatePresenter.h"

#include <QDialog>
#include <QUrl>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class ReleaseNotesView;

// The updater's small window: progress while a check runs, then its outcome. For a newer
// version it shows the version, its notes and a button that opens the download link.
class UpdateWindow : public QDialog, public UpdatePresenter
{
    Q_OBJECT
public:
    using UrlOpener = std::function<bool(const QUrl&)>;

    explicit UpdateWindow(QWidget* parent = nullptr);

    void showChecking() override;
    void showUpdateAvailable(const QString& newVersion, const QString& currentVersion,
                             const QString& notes, const QUrl& downloadUrl) override;
    void showUpToDate(const QString& currentVersion) override;
    void showError(const QString& detail) override;

    QString headline() const;
    QString message() const;
    QString notes() const;
    QUrl downloadUrl() const { return m_downloadUrl; }
    QPushButton* downloadButton() const { return m_downloadButton; }
    ReleaseNotesView* notesView() const { return m_notes; }

    // Test seam: how the download link is opened (the desktop's browser by default).
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }

private:
    void present();

    QLabel* m_headline;
    QLabel* m_message;
    QProgressBar* m_progress;
    ReleaseNotesView* m_notes;
    QPushButton* m_downloadButton;
    QPushButton* m_closeButton;
    QUrl m_downloadUrl;
    UrlOpener m_openUrl;
};
