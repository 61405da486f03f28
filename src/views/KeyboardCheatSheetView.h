#pragma once

#include "models/TriageKeyTable.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class GlobalShortcutService;
class QLabel;
class QLayout;
class QPushButton;
class QToolButton;

// The card listing every keyboard shortcut of the triage window, in three columns, and
// below them the desktop-wide shortcut that opens the window, as it is bound now. Its close button
// and "Got it" both call onDismiss, which is expected to hide the card (through
// deleteLater() if it wants the card gone: the call comes from inside a click handler).
class KeyboardCheatSheetView : public QWidget
{
    Q_OBJECT
public:
    // A key cap whose text is exactly this word is drawn as a plain word between caps.
    static inline const QString& orWord = TriageKeyTable::orWord;

    struct Shortcut
    {
        QStringList keys;
        QString caption;
    };
    struct Column
    {
        QString heading;
        QList<Shortcut> rows;
    };

    // The rows of the key table (TriageKeyTable) that the card lists, by column.
    static QList<Column> columns();
    static QString footerTip();

    static constexpr int cardWidth = 680;
    static constexpr qreal cornerRadius = 14;

    // shortcut: the desktop-wide shortcut whose state the card shows.
    KeyboardCheatSheetView(const GlobalShortcutService& shortcut, std::function<void()> onDismiss,
                           QWidget* parent = nullptr);

    QToolButton* closeButton() const { return m_closeButton; }
    QPushButton* gotItButton() const { return m_gotItButton; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QLayout* makeTitleRow();
    QLayout* makeColumnsRow();
    QWidget* makeGlobalShortcutRow();
    QLayout* makeFooter();
    QWidget* makeColumn(const Column& column, int* naturalWidth);
    QWidget* makeRow(const Shortcut& shortcut);
    void applyPalette();
    void dismiss();
    void updateGlobalShortcutRow();

    const GlobalShortcutService& m_shortcut;
    std::function<void()> m_onDismiss;
    QToolButton* m_closeButton = nullptr;
    QPushButton* m_gotItButton = nullptr;
    QList<QLabel*> m_secondaryLabels;
    QLabel* m_titleIcon = nullptr;
    QWidget* m_globalRow = nullptr;
};
