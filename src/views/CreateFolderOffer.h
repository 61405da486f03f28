#pragma once

#include "views/CardShadow.h"

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

// A question over the window, as a sheet: "Create ~/Documents/Finance and move the item
// there?" with Cancel and a default button. Return accepts, Escape cancels; either ends
// with its callback, which is called from inside an event handler (delete the offer with
// deleteLater()). The offer covers its parent, follows its resizes, and takes no clicks
// outside its card.
class CreateFolderOffer : public QWidget
{
    Q_OBJECT
public:
    // shownPath: the folder as the user knows it ("~/Documents/Finance").
    static QString moveQuestion(const QString& shownPath);
    static QString createQuestion(const QString& shownPath);

    CreateFolderOffer(const QString& question, const QString& acceptText,
                      std::function<void()> onAccept, std::function<void()> onCancel,
                      QWidget* parent);

    QString question() const;
    QPushButton* acceptButton() const { return m_accept; }
    QPushButton* cancelButton() const { return m_cancel; }

    void accept();
    void cancel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void placeCard();

    std::function<void()> m_onAccept;
    std::function<void()> m_onCancel;
    QWidget* m_card;
    QLabel* m_question;
    QPushButton* m_accept;
    QPushButton* m_cancel;
    CardShadow m_shadow;
    bool m_answered = false;
};
