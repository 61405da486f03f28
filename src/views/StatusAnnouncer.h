#pragma once

#include <QWidget>

// Speaks short texts to assistive technology: the outcome of an action, an error, what is
// running. It is a one-pixel, transparent child that draws nothing; a screen reader sees it
// as a notification (an alert for errors) that appears anew with each text, which is what
// makes Orca and other readers speak it without moving the focus.
class StatusAnnouncer : public QWidget
{
    Q_OBJECT
public:
    enum class Urgency {
        Polite,    // outcomes and progress: read when the reader is free
        Assertive, // errors: read at once
    };

    explicit StatusAnnouncer(QWidget* parent);

    // Announces text; the same text again is announced again (a second item of that name).
    void announce(const QString& text, Urgency urgency = Urgency::Polite);
    QString text() const { return m_text; }
    Urgency urgency() const { return m_urgency; }
    // How many announcements were made; for tests.
    int count() const { return m_count; }

private:
    QString m_text;
    Urgency m_urgency = Urgency::Polite;
    int m_count = 0;
};
