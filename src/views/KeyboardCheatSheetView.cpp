#include "views/KeyboardCheatSheetView.h"

#include "models/GlobalHotkey.h"
#include "models/TriageKeyTable.h"
#include "services/GlobalShortcutService.h"
#include "views/KeyCapView.h"
#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int keyGroupMinimumWidth = 70;
constexpr int rowSpacing = 8;

QLabel* makeLabel(const QString& text, const QFont& font, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    return label;
}

} // namespace

QList<KeyboardCheatSheetView::Column> KeyboardCheatSheetView::columns()
{
    // Built at each call, in the language of the moment.
    QList<Column> built;
    for (const QString& heading : TriageKeyTable::columnHeadings())
        built.append({TriageKeyTable::translated(heading), {}});
    for (const TriageKeyTable::Entry& entry : TriageKeyTable::entries()) {
        if (entry.column >= 0 && entry.column < built.size())
            built[entry.column].rows.append(
                {entry.caps, TriageKeyTable::translated(entry.caption)});
    }
    return built;
}

QString KeyboardCheatSheetView::footerTip()
{
    return tr("Tip: You can press '?' at any time while triaging to view this cheat sheet.");
}

KeyboardCheatSheetView::KeyboardCheatSheetView(const GlobalShortcutService& shortcut,
                                               std::function<void()> onDismiss, QWidget* parent)
    : QWidget(parent), m_shortcut(shortcut), m_onDismiss(std::move(onDismiss))
{
    setObjectName(QStringLiteral("keyboardCheatSheet"));
    setFixedWidth(cardWidth);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(14);
    layout->addLayout(makeTitleRow());
    layout->addWidget(Theme::divider(Qt::Horizontal, this));
    layout->addLayout(makeColumnsRow());
    layout->addWidget(makeGlobalShortcutRow());
    layout->addWidget(Theme::divider(Qt::Horizontal, this));
    layout->addLayout(makeFooter());

    applyPalette();
    adjustSize();
}

QLayout* KeyboardCheatSheetView::makeTitleRow()
{
    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(8);
    m_titleIcon = new QLabel(this);
    m_titleIcon->setFixedSize(20, 20);
    auto* title = makeLabel(tr("Keyboard Shortcuts"), Theme::font(16, QFont::Bold), this);
    title->setObjectName(QStringLiteral("title"));
    m_closeButton = new QToolButton(this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->setAutoRaise(true);
    m_closeButton->setToolTip(tr("Close (Esc)"));
    m_closeButton->setAccessibleName(tr("Close"));
    m_closeButton->setAccessibleDescription(tr("Closes the keyboard shortcuts (Esc)"));
    m_closeButton->setIconSize(QSize(16, 16));
    m_closeButton->setCursor(Qt::PointingHandCursor);
    titleRow->addWidget(m_titleIcon);
    titleRow->addWidget(title);
    titleRow->addStretch(1);
    titleRow->addWidget(m_closeButton);
    connect(m_closeButton, &QToolButton::clicked, this, &KeyboardCheatSheetView::dismiss);
    return titleRow;
}

QLayout* KeyboardCheatSheetView::makeColumnsRow()
{
    // The three columns share the width left by the two vertical dividers.
    auto* columnsRow = new QHBoxLayout;
    columnsRow->setContentsMargins(0, 4, 0, 4);
    columnsRow->setSpacing(28);
    const auto& table = columns();
    for (qsizetype i = 0; i < table.size(); ++i) {
        if (i > 0)
            columnsRow->addWidget(Theme::divider(Qt::Vertical, this));
        int naturalWidth = 0;
        QWidget* column = makeColumn(table[i], &naturalWidth);
        // Each column gets a share of the width in proportion to what its widest row needs,
        // so that the column with the widest keys ("Ctrl+Z") wraps no more than the others.
        columnsRow->addWidget(column, naturalWidth);
    }
    return columnsRow;
}

QWidget* KeyboardCheatSheetView::makeGlobalShortcutRow()
{
    // The shortcut of the whole desktop, as it is bound now.
    m_globalRow = new QWidget(this);
    m_globalRow->setObjectName(QStringLiteral("globalShortcutRow"));
    auto* globalLayout = new QHBoxLayout(m_globalRow);
    globalLayout->setContentsMargins(0, 0, 0, 0);
    globalLayout->setSpacing(rowSpacing);
    connect(&m_shortcut, &GlobalShortcutService::stateChanged, this,
            &KeyboardCheatSheetView::updateGlobalShortcutRow);
    updateGlobalShortcutRow();
    return m_globalRow;
}

QLayout* KeyboardCheatSheetView::makeFooter()
{
    auto* footer = new QHBoxLayout;
    auto* tip = makeLabel(footerTip(), Theme::font(11), this);
    tip->setObjectName(QStringLiteral("footerTip"));
    m_secondaryLabels.append(tip);
    m_gotItButton = new QPushButton(tr("Got it"), this);
    m_gotItButton->setObjectName(QStringLiteral("gotItButton"));
    m_gotItButton->setAccessibleDescription(tr("Closes the keyboard shortcuts"));
    footer->addWidget(tip);
    footer->addStretch(1);
    footer->addWidget(m_gotItButton);
    connect(m_gotItButton, &QPushButton::clicked, this, &KeyboardCheatSheetView::dismiss);
    return footer;
}

QWidget* KeyboardCheatSheetView::makeColumn(const Column& column, int* naturalWidth)
{
    auto* widget = new QWidget(this);
    widget->setObjectName(QStringLiteral("shortcutColumn"));
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    auto* heading = makeLabel(column.heading, Theme::font(10, QFont::Bold), widget);
    heading->setObjectName(QStringLiteral("columnHeading"));
    m_secondaryLabels.append(heading);
    layout->addWidget(heading);
    QList<QWidget*> keyGroups;
    for (const auto& shortcut : column.rows) {
        QWidget* row = makeRow(shortcut);
        keyGroups.append(row->findChild<QWidget*>(QStringLiteral("keyGroup")));
        layout->addWidget(row);
    }
    // Each row puts its caption under its keys, so that a column is only as wide as its
    // widest caption or key group: side by side, three columns of them did not fit the
    // smallest window and the captions wrapped to three lines.
    int groupWidth = keyGroupMinimumWidth;
    for (QWidget* group : std::as_const(keyGroups))
        groupWidth = qMax(groupWidth, group->sizeHint().width());
    const QFontMetrics captionMetrics(Theme::font(12));
    int widestCaption = 0;
    for (const auto& shortcut : column.rows)
        widestCaption = qMax(widestCaption, captionMetrics.horizontalAdvance(shortcut.caption));
    *naturalWidth = qMax(groupWidth, widestCaption);
    widget->setMinimumWidth(*naturalWidth);
    // Columns of different heights keep their rows at the top.
    layout->addStretch(1);
    return widget;
}

QWidget* KeyboardCheatSheetView::makeRow(const Shortcut& shortcut)
{
    auto* row = new QWidget(this);
    row->setObjectName(QStringLiteral("shortcutRow"));
    auto* layout = new QVBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);

    // Caps and words from the leading edge; the column sets the group's width.
    auto* keys = new QWidget(row);
    keys->setObjectName(QStringLiteral("keyGroup"));
    auto* keyLayout = new QHBoxLayout(keys);
    keyLayout->setContentsMargins(0, 0, 0, 0);
    keyLayout->setSpacing(4);
    for (const auto& key : shortcut.keys) {
        if (key == orWord) {
            auto* word = makeLabel(TriageKeyTable::translated(key), Theme::font(10), keys);
            word->setObjectName(QStringLiteral("orWord"));
            m_secondaryLabels.append(word);
            keyLayout->addWidget(word);
        } else {
            keyLayout->addWidget(new KeyCapView(key, keys));
        }
    }
    keyLayout->addStretch(1);
    keys->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    // One line, always: the column is made wide enough for it.
    auto* caption = makeLabel(shortcut.caption, Theme::font(12), row);
    caption->setObjectName(QStringLiteral("caption"));
    caption->setWordWrap(false);

    layout->addWidget(keys);
    layout->addWidget(caption);
    row->setAccessibleName(shortcut.caption);
    return row;
}

void KeyboardCheatSheetView::updateGlobalShortcutRow()
{
    auto* layout = static_cast<QHBoxLayout*>(m_globalRow->layout());
    while (QLayoutItem* item = layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const GlobalShortcutService& shortcut = m_shortcut;
    const bool off = shortcut.state() == GlobalShortcutService::State::Off;
    const QString chord = off                                 ? tr("Off")
                          : shortcut.shortcutText().isEmpty() ? GlobalHotkey::defaultText
                                                              : shortcut.shortcutText();
    if (!off) {
        for (const QString& key : chord.split(QLatin1Char('+'), Qt::SkipEmptyParts))
            layout->addWidget(new KeyCapView(key, m_globalRow));
    }
    const QString text =
        shortcut.state() == GlobalShortcutService::State::Failed
            ? tr("Open Stowbird from anywhere on the desktop (not available here; see "
                 "Preferences)")
        : off ? tr("Open Stowbird from anywhere on the desktop (turned off in Preferences)")
              : tr("Open Stowbird from anywhere on the desktop");
    auto* caption = makeLabel(text, Theme::font(12), m_globalRow);
    caption->setObjectName(QStringLiteral("caption"));
    layout->addSpacing(rowSpacing - layout->spacing());
    layout->addWidget(caption, 1);
    m_globalRow->setAccessibleName(tr("%1: %2").arg(chord, text));
}

QSize KeyboardCheatSheetView::sizeHint() const
{
    // Captions do not wrap: the layout's own height is the card's height.
    const int forWidth = heightForWidth(cardWidth);
    return {cardWidth, forWidth > 0 ? forWidth : layout()->sizeHint().height()};
}

void KeyboardCheatSheetView::applyPalette()
{
    const QPalette current = palette();
    const QColor secondary = Theme::secondary(current);
    for (QLabel* label : std::as_const(m_secondaryLabels)) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, secondary);
        label->setPalette(p);
    }
    m_titleIcon->setPixmap(SymbolIcons::pixmap(QStringLiteral("command.circle.fill"), 20,
                                               current.color(QPalette::Highlight),
                                               devicePixelRatioF()));
    m_closeButton->setIcon(SymbolIcons::icon(QStringLiteral("xmark.circle.fill"), secondary));
    Theme::makeProminent(m_gotItButton, current);
}

void KeyboardCheatSheetView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        applyPalette();
}

void KeyboardCheatSheetView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Theme::paintCard(painter, QRectF(rect()), cornerRadius, palette());
}

void KeyboardCheatSheetView::dismiss()
{
    if (m_onDismiss)
        m_onDismiss();
}
