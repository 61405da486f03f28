#pragma once

#include <QTextBrowser>

// Shows release notes that came from the network. They are cleaned to a few text tags
// first, and nothing they name is ever loaded: no image, style sheet or file, local or
// remote. Links are shown but not followed.
class ReleaseNotesView : public QTextBrowser
{
    Q_OBJECT
public:
    explicit ReleaseNotesView(QWidget* parent = nullptr);

    void setNotes(const QString& html);
    // The names the notes asked to load, refused; for tests.
    int refusedResources() const { return m_refused; }

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    int m_refused = 0;
};
