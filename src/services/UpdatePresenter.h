#pragma once

#include <QString>
#include <QUrl>

// What the updater shows the user: progress of a check the user asked for and its outcome.
// The window that implements it lives with the views; the application's start-up code
// gives the updater a way to make one.
class UpdatePresenter
{
public:
    virtual ~UpdatePresenter() = default;
    virtual void showChecking() = 0;
    virtual void showUpdateAvailable(const QString& newVersion, const QString& currentVersion,
                                     const QString& notes, const QUrl& downloadUrl) = 0;
    virtual void showUpToDate(const QString& currentVersion) = 0;
    virtual void showError(const QString& detail) = 0;
};
