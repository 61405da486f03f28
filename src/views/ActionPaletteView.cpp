#include "views/ActionPaletteView.h"

#include "models/FileNaming.h"
#include "models/InboxFolders.h"
#include "models/LookAlikeGrouper.h"
#include "platform/DownloadUriMetadata.h"
#include "platform/StoragePaths.h"
#include "views/ActionShortcutHint.h"
#include "views/RelativeTimeFormatter.h"
#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScrollArea>
#include <QTextLayout>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

QLabel* heading(const QString& text, QWidget* parent)
{
    QLabel* label =
        Theme::label(text, 10, QFont::Bold, Theme::secondary(parent->palette()), parent);
    QFont f = label->font();
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    label->setFont(f);
    return label;
}

// A message laid out in lines of width, at most maxLines of them, joined by line feeds; when
// it takes more, the last line ends with an ellipsis where the text was cut. Messages are
// sentences in the window's language and keep its direction, whatever they start with: a
// status that begins with an Arabic name must not be turned around with it (which put the
// name's extension in the middle of the line). Each line starts with the direction's mark,
// so that the label draws it that way too.
QString elideToLines(const QString& message, const QFont& font, int width, int maxLines,
                     Qt::LayoutDirection direction)
{
    const QString text = QString(message).replace(QLatin1Char('\n'), QLatin1Char(' '));
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(direction);
    layout.setTextOption(option);
    layout.beginLayout();
    QStringList lines;
    int cut = -1;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(std::max(1, width));
        if (lines.size() == maxLines - 1) {
            // The last line holds the rest of the text, if it can.
            if (line.textStart() + line.textLength() < text.size())
                cut = line.textStart();
            else
                lines << text.mid(line.textStart(), line.textLength());
            break;
        }
        lines << text.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    if (cut >= 0)
        lines << QFontMetrics(font).elidedText(text.mid(cut), Qt::ElideRight, std::max(1, width));
    const QChar mark(direction == Qt::RightToLeft ? 0x200F : 0x200E);
    for (QString& line : lines) {
        // A line broken at a space keeps it at its end; the label needs none.
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        line.prepend(mark);
    }
    return lines.join(QLatin1Char('\n'));
}

// How a name is laid out: wrapped anywhere, in its own direction (an Arabic name reads from
// the right, its extension at its end, whatever the window's direction), against the
// left edge like the card's other lines.
QTextOption nameOption(const QString& name)
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(name.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    return option;
}

// A file name on at most two lines, wrapped anywhere and cut in the middle when longer.
class FileNameLabel : public QWidget
{
public:
    explicit FileNameLabel(QWidget* parent) : QWidget(parent)
    {
        setFont(Theme::font(15, QFont::DemiBold));
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    }

    void setText(const QString& text)
    {
        m_text = text;
        setToolTip(text);
        setAccessibleName(text);
        updateGeometry();
        update();
    }
    QString text() const { return m_text; }

    QSize sizeHint() const override
    {
        const int lines = lineCount(width() > 0 ? width() : 260);
        return {260, fontMetrics().lineSpacing() * lines};
    }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int w) const override { return fontMetrics().lineSpacing() * lineCount(w); }

    // The text as drawn for a width: the whole name when two lines hold it, else cut in
    // the middle so that both ends stay visible.
    QString displayText(int w) const
    {
        if (layoutLines(m_text, w) <= 2)
            return m_text;
        QString shown = m_text;
        int budget = 2 * w;
        while (budget > 20) {
            shown = fontMetrics().elidedText(m_text, Qt::ElideMiddle, budget);
            if (layoutLines(shown, w) <= 2)
                return shown;
            budget -= std::max(8, w / 20);
        }
        return fontMetrics().elidedText(m_text, Qt::ElideMiddle, w);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(Theme::primary(palette()));
        QTextLayout layout(displayText(width()), font());
        // The direction of the whole name, also when only its ends are shown.
        layout.setTextOption(nameOption(m_text));
        layout.beginLayout();
        qreal y = 0;
        for (int i = 0; i < 2; ++i) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(width());
            line.setPosition(QPointF(0, y));
            y += fontMetrics().lineSpacing();
        }
        layout.endLayout();
        layout.draw(&p, QPointF(0, 0));
    }

private:
    int lineCount(int w) const { return std::clamp(layoutLines(displayText(w), w), 1, 2); }

    int layoutLines(const QString& text, int w) const
    {
        QTextLayout layout(text, font());
        layout.setTextOption(nameOption(m_text));
        layout.beginLayout();
        int lines = 0;
        for (;;) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(std::max(1, w));
            ++lines;
        }
        layout.endLayout();
        return lines;
    }

    QString m_text;
};

// A rounded card behind the item's description.
class Card : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), 10, 10);
        p.fillPath(path, Theme::controlBackground(palette()));
    }
};

// Destination rows are sized so that nine slots and the custom row fit beside the card, the
// key hints and the status line in the default 840x540 window, with room to spare for a
// progress strip under the body: two text lines with tight padding, and two to a row once
// there are more slots than a single column holds.
constexpr int rowPaddingX = 8;
constexpr int rowPaddingY = 4;
constexpr int nameGap = 1;
constexpr int numberWidth = 24;
constexpr int numberGap = 6;
constexpr int slotColumnWidth = 150;
constexpr int rowSpacing = 4;

int slotRowHeight()
{
    return rowPaddingY + QFontMetrics(Theme::font(13, QFont::Medium)).height() + nameGap +
           QFontMetrics(Theme::font(10)).height() + rowPaddingY;
}

// A borderless row that repaints as the pointer enters and leaves it.
class HoverRow : public QAbstractButton
{
public:
    using QAbstractButton::QAbstractButton;

protected:
    void enterEvent(QEnterEvent* event) override
    {
        QAbstractButton::enterEvent(event);
        update();
    }
    void leaveEvent(QEvent* event) override
    {
        QAbstractButton::leaveEvent(event);
        update();
    }
};

// One destination row: "[n]", name and path, a warning when the folder is missing.
class SlotRow : public HoverRow
{
public:
    SlotRow(const DestinationSlot& slot, QWidget* parent) : HoverRow(parent), m_slot(slot)
    {
        setObjectName(QStringLiteral("slotRow%1").arg(slot.slot));
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        refreshAvailability();
    }

    const DestinationSlot& slot() const { return m_slot; }
    bool available() const { return m_available; }

    // The history suggests this slot for the item: outlined in the accent colour, and said.
    void setSuggested(bool suggested)
    {
        if (m_suggested == suggested)
            return;
        m_suggested = suggested;
        refreshAvailability();
    }
    bool suggested() const { return m_suggested; }

    void refreshAvailability()
    {
        m_available = m_slot.isAvailable();
        // A missing folder stays clickable (dimmed): the click offers to create it.
        setToolTip(m_available
                       ? QString()
                       : QCoreApplication::translate("ActionPaletteView",
                                                     "Volume unmounted or path missing: click to "
                                                     "create the folder"));
        setAccessibleName(QCoreApplication::translate("ActionPaletteView", "Slot %1: %2")
                              .arg(m_slot.slot)
                              .arg(m_slot.name));
        const QString description =
            m_available
                ? QCoreApplication::translate("ActionPaletteView", "Key %1 moves the item to %2")
                      .arg(m_slot.slot)
                      .arg(m_slot.path)
                : QCoreApplication::translate("ActionPaletteView", "Folder missing: %1")
                      .arg(m_slot.path);
        setAccessibleDescription(
            m_suggested
                ? QCoreApplication::translate("ActionPaletteView", "Suggested (%1). %2")
                      .arg(TriageKeyTable::entry(TriageKeyTable::Action::acceptSuggestion).keyName,
                           description)
                : description);
        update();
    }

    QSize sizeHint() const override { return {slotColumnWidth, slotRowHeight()}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath background;
        background.addRoundedRect(QRectF(rect()), 6, 6);
        QColor fill = Theme::controlBackground(palette());
        fill.setAlphaF(0.6);
        if (isDown() || (underMouse() && m_available))
            fill = Theme::accent(palette()).lighter(Theme::isDark(palette()) ? 70 : 180);
        p.fillPath(background, fill);
        if (m_suggested) {
            QPainterPath outline;
            outline.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
            p.setPen(QPen(Theme::accent(palette()), 2));
            p.drawPath(outline);
        }

        const QColor secondary = Theme::secondary(palette());
        const QRect inner = rect().adjusted(rowPaddingX, rowPaddingY, -rowPaddingX, -rowPaddingY);
        const QFont numberFont = Theme::font(12, QFont::Bold, true);
        p.setFont(numberFont);
        p.setPen(m_available ? Theme::accent(palette()) : secondary);
        p.drawText(QRect(inner.left(), inner.top(), numberWidth, inner.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("[%1]").arg(m_slot.slot));

        int right = inner.right();
        if (!m_available) {
            const QIcon warning =
                SymbolIcons::icon(QStringLiteral("exclamationmark.triangle.fill"), Theme::orange());
            const QRect iconRect(right - 13, inner.center().y() - 6, 13, 13);
            warning.paint(&p, iconRect);
            right -= 13 + 6;
        }
        const int textLeft = inner.left() + numberWidth + numberGap;
        const QFont nameFont = Theme::font(13, QFont::Medium);
        const QFont pathFont = Theme::font(10);
        const int nameHeight = QFontMetrics(nameFont).height();
        p.setFont(nameFont);
        p.setPen(m_available ? Theme::primary(palette()) : secondary);
        p.drawText(
            QRect(textLeft, inner.top(), right - textLeft, nameHeight),
            Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetrics(nameFont).elidedText(m_slot.name, Qt::ElideRight, right - textLeft));
        p.setFont(pathFont);
        p.setPen(secondary);
        p.drawText(
            QRect(textLeft, inner.top() + nameHeight + nameGap, right - textLeft,
                  QFontMetrics(pathFont).height()),
            Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetrics(pathFont).elidedText(m_slot.path, Qt::ElideMiddle, right - textLeft));
    }

private:
    DestinationSlot m_slot;
    bool m_available = false;
    bool m_suggested = false;
};

// The suggestion under the destinations: the Return key and why ("5 of the last 5 .stl files
// went to 3D Prints"), on one line; a click files the item there, as Return does.
class SuggestionRow : public HoverRow
{
public:
    explicit SuggestionRow(QWidget* parent) : HoverRow(parent)
    {
        setObjectName(QStringLiteral("suggestionRow"));
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    // A row of the same look for another key: "[.] Same as last: Documents".
    void setKeyed(const QString& key, const QString& text, const QString& accessibleName,
                  const QString& description)
    {
        m_key = key;
        m_text = text;
        setToolTip(text);
        setAccessibleName(accessibleName);
        setAccessibleDescription(description);
        update();
    }

    void setSuggestion(const SuggestionService::Suggestion& suggestion)
    {
        m_key = TriageKeyTable::entry(TriageKeyTable::Action::acceptSuggestion).keyName;
        // A folder no slot has is named, since no row shows it.
        m_text = suggestion.slot
                     ? suggestion.reason
                     : QStringLiteral("%1: %2").arg(StoragePaths::tildePath(suggestion.folder),
                                                    suggestion.reason);
        setToolTip(m_text);
        setAccessibleName(
            QCoreApplication::translate("ActionPaletteView", "Suggested destination: %1")
                .arg(m_text));
        setAccessibleDescription(
            QCoreApplication::translate("ActionPaletteView", "%1 moves the item to %2")
                .arg(m_key, suggestion.slot ? suggestion.slot->name : suggestion.folder));
        update();
    }
    QString text() const { return m_text; }

    QSize sizeHint() const override
    {
        return {slotColumnWidth, QFontMetrics(Theme::font(11)).height() + 2 * rowPaddingY + 2};
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor accent = Theme::accent(palette());
        if (isDown() || underMouse()) {
            QPainterPath background;
            background.addRoundedRect(QRectF(rect()), 6, 6);
            p.fillPath(background, accent.lighter(Theme::isDark(palette()) ? 70 : 180));
        }
        const QRect inner = rect().adjusted(rowPaddingX, 1, -rowPaddingX, -1);
        // The key as a cap, then the reason.
        const QFont capFont = Theme::font(10, QFont::DemiBold, true);
        const int capWidth = QFontMetrics(capFont).horizontalAdvance(m_key) + 10;
        const QRectF cap(inner.left(), inner.top() + 2, capWidth, inner.height() - 4);
        QPainterPath capPath;
        capPath.addRoundedRect(cap, 4, 4);
        p.fillPath(capPath, Theme::controlBackground(palette()));
        p.setPen(QPen(accent, 1));
        p.drawPath(capPath);
        p.setFont(capFont);
        p.drawText(cap, Qt::AlignCenter, m_key);
        const QFont textFont = Theme::font(11, QFont::Medium);
        p.setFont(textFont);
        p.setPen(accent);
        const int textLeft = int(cap.right()) + 6;
        const int width = inner.right() - textLeft;
        p.drawText(QRect(textLeft, inner.top(), width, inner.height()),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetrics(textFont).elidedText(m_text, Qt::ElideRight, width));
    }

private:
    QString m_key;
    QString m_text;
};

// The "[0] Custom Destination (Browse...)" row. In a half-width cell of the two-column
// layout the caption goes on two lines, "Custom Destination" over "Browse...", so that it
// is as tall as a slot beside it and is never cut.
class CustomRow : public HoverRow
{
public:
    explicit CustomRow(QWidget* parent) : HoverRow(parent)
    {
        setObjectName(QStringLiteral("customDestinationRow"));
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
        setAccessibleName(
            QCoreApplication::translate("ActionPaletteView", "Custom Destination (Browse...)"));
        setAccessibleDescription(
            QCoreApplication::translate("ActionPaletteView",
                                        "Key %1 moves the item to a folder you choose")
                .arg(TriageKeyTable::entry(TriageKeyTable::Action::moveToCustomFolder).keyName));
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    void setStacked(bool stacked)
    {
        if (m_stacked == stacked)
            return;
        m_stacked = stacked;
        updateGeometry();
        update();
    }

    QSize sizeHint() const override
    {
        return {slotColumnWidth,
                m_stacked ? slotRowHeight()
                          : QFontMetrics(Theme::font(13)).height() + 2 * rowPaddingY + 2};
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        if (isDown() || underMouse()) {
            QPainterPath background;
            background.addRoundedRect(QRectF(rect()), 6, 6);
            QColor fill = Theme::controlBackground(palette());
            fill.setAlphaF(0.6);
            p.fillPath(background, fill);
        }
        const QColor secondary = Theme::secondary(palette());
        const QRect inner = rect().adjusted(rowPaddingX, rowPaddingY, -rowPaddingX, -rowPaddingY);
        p.setPen(secondary);
        p.setFont(Theme::font(12, QFont::Bold, true));
        p.drawText(QRect(inner.left(), inner.top(), numberWidth, inner.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("[0]"));
        const int textLeft = inner.left() + numberWidth + numberGap;
        // The folder symbol only where the caption has room beside it.
        const int textWidth = inner.right() - (m_stacked ? 0 : 14 + 6) - textLeft;
        const QFont captionFont = Theme::font(13);
        p.setFont(captionFont);
        if (m_stacked) {
            const QFont browseFont = Theme::font(10);
            const int captionHeight = QFontMetrics(captionFont).height();
            p.drawText(QRect(textLeft, inner.top(), textWidth, captionHeight),
                       Qt::AlignLeft | Qt::AlignVCenter,
                       QFontMetrics(captionFont)
                           .elidedText(QCoreApplication::translate("ActionPaletteView",
                                                                   "Custom Destination"),
                                       Qt::ElideRight, textWidth));
            p.setFont(browseFont);
            p.drawText(QRect(textLeft, inner.top() + captionHeight + nameGap, textWidth,
                             QFontMetrics(browseFont).height()),
                       Qt::AlignLeft | Qt::AlignVCenter,
                       QCoreApplication::translate("ActionPaletteView", "Browse..."));
        } else {
            p.drawText(QRect(textLeft, inner.top(), textWidth, inner.height()),
                       Qt::AlignLeft | Qt::AlignVCenter,
                       QFontMetrics(captionFont)
                           .elidedText(QCoreApplication::translate(
                                           "ActionPaletteView", "Custom Destination (Browse...)"),
                                       Qt::ElideRight, textWidth));
        }
        if (!m_stacked)
            SymbolIcons::icon(QStringLiteral("folder.badge.gearshape"), secondary)
                .paint(&p, QRect(inner.right() - 14, inner.center().y() - 7, 14, 14));
    }

private:
    bool m_stacked = false;
};

} // namespace

ActionPaletteView::ActionPaletteView(Callbacks callbacks, QWidget* parent)
    : QWidget(parent), m_callbacks(std::move(callbacks))
{
    setObjectName(QStringLiteral("ActionPaletteView"));
    setMinimumWidth(minimumColumnWidth);
    setMaximumWidth(maximumColumnWidth);
    auto* root = new QVBoxLayout(this);
    // Narrow margins and spacing: the column must fit beside the 420-wide preview in the
    // smallest window (760), with this platform's wider fonts, and nine slots must fit
    // under the card in the default one.
    root->setContentsMargins(10, 10, 10, 10);
    root->setSpacing(8);

    // Item card.
    auto* card = new Card(this);
    card->setObjectName(QStringLiteral("itemCard"));
    // Screen readers hear the item through this card: it takes the focus when nothing
    // else in the window has it, and its name changes with every new head item.
    card->setFocusPolicy(Qt::ClickFocus);
    m_card = card;
    auto* cardLayout = new QHBoxLayout(card);
    cardLayout->setContentsMargins(12, 8, 8, 8);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* name = new FileNameLabel(card);
    name->setObjectName(QStringLiteral("itemName"));
    m_nameLabel = name;
    texts->addWidget(name);
    auto* meta = new QHBoxLayout;
    meta->setSpacing(8);
    const QColor secondary = Theme::secondary(palette());
    m_sizeLabel = Theme::label({}, 12, QFont::Normal, secondary, card);
    m_sizeLabel->setObjectName(QStringLiteral("itemSize"));
    m_kindLabel = Theme::label({}, 12, QFont::Normal, secondary, card);
    m_kindLabel->setObjectName(QStringLiteral("itemKind"));
    meta->addWidget(m_sizeLabel);
    meta->addWidget(Theme::label(QStringLiteral("•"), 12, QFont::Normal, secondary, card));
    meta->addWidget(m_kindLabel, 1);
    texts->addLayout(meta);
    // "from files.example.org": the host only, never the address it was read from; then the
    // inbox the item waits in, when it is not Downloads.
    m_originLabel = Theme::label({}, 11, QFont::Normal, secondary, card);
    m_originLabel->setObjectName(QStringLiteral("itemOrigin"));
    m_originLabel->hide();
    texts->addWidget(m_originLabel);
    m_addedLabel = Theme::label({}, 11, QFont::Normal, secondary, card);
    m_addedLabel->setObjectName(QStringLiteral("itemAdded"));
    texts->addWidget(m_addedLabel);
    // Coarse is precise enough here (a second's steps) and lets the system batch wake-ups.
    m_addedTimer = new QTimer(this);
    m_addedTimer->setObjectName(QStringLiteral("addedTimeTimer"));
    m_addedTimer->setSingleShot(true);
    m_addedTimer->setTimerType(Qt::CoarseTimer);
    connect(m_addedTimer, &QTimer::timeout, this, &ActionPaletteView::updateAddedTime);
    cardLayout->addLayout(texts, 1);
    auto* renameButton = new QToolButton(card);
    renameButton->setObjectName(QStringLiteral("renameButton"));
    renameButton->setAutoRaise(true);
    renameButton->setFocusPolicy(Qt::NoFocus);
    renameButton->setIcon(SymbolIcons::icon(QStringLiteral("pencil"), Theme::secondary(palette())));
    renameButton->setIconSize(QSize(15, 15));
    const QString renameKey = TriageKeyTable::entry(TriageKeyTable::Action::rename).keyName;
    renameButton->setToolTip(tr("Inline Rename (%1)").arg(renameKey));
    renameButton->setAccessibleName(tr("Rename"));
    renameButton->setAccessibleDescription(tr("Rename the item in place (%1)").arg(renameKey));
    connect(renameButton, &QToolButton::clicked, this, [this] {
        if (m_callbacks.onStartRename)
            m_callbacks.onStartRename();
    });
    cardLayout->addWidget(renameButton, 0, Qt::AlignTop);
    root->addWidget(card);

    // Under the card: the item's look-alikes, and a copy of it already filed.
    m_groupNote = Theme::label({}, 11, QFont::Medium, Theme::accent(palette()), this);
    m_groupNote->setObjectName(QStringLiteral("groupNote"));
    m_groupNote->setWordWrap(true);
    m_groupNote->hide();
    root->addWidget(m_groupNote);
    m_duplicateRow = new QWidget(this);
    m_duplicateRow->setObjectName(QStringLiteral("duplicateNote"));
    auto* duplicateLayout = new QHBoxLayout(m_duplicateRow);
    duplicateLayout->setContentsMargins(0, 0, 0, 0);
    duplicateLayout->setSpacing(6);
    m_duplicateLabel = Theme::label({}, 11, QFont::Medium, Theme::orange(), m_duplicateRow);
    m_duplicateLabel->setObjectName(QStringLiteral("duplicateText"));
    m_duplicateLabel->setWordWrap(true);
    duplicateLayout->addWidget(m_duplicateLabel, 1);
    const QString trashKey = TriageKeyTable::entry(TriageKeyTable::Action::trash).keyName;
    auto* trashCopy = new QPushButton(tr("Trash This Copy (%1)").arg(trashKey), m_duplicateRow);
    trashCopy->setObjectName(QStringLiteral("trashCopyButton"));
    trashCopy->setFocusPolicy(Qt::NoFocus);
    trashCopy->setAccessibleDescription(
        tr("Moves this download to the Trash; the copy already filed stays"));
    connect(trashCopy, &QPushButton::clicked, this, [this] {
        if (m_callbacks.onTrash)
            m_callbacks.onTrash();
    });
    duplicateLayout->addWidget(trashCopy, 0, Qt::AlignTop);
    m_duplicateRow->hide();
    root->addWidget(m_duplicateRow);

    root->addWidget(Theme::divider(Qt::Horizontal, this));

    // Routing section.
    auto* routing = new QVBoxLayout;
    routing->setSpacing(4);
    routing->addWidget(heading(tr("ROUTING DESTINATIONS"), this));
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // When the rows do not fit (a window near its smallest size), the list scrolls instead
    // of dropping rows at the bottom. Its height is what the column leaves it, whatever
    // the rows would like: the rows follow the window, never the other way round.
    scroll->setObjectName(QStringLiteral("slotScroll"));
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->setWidgetResizable(true);
    scroll->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setAccessibleName(tr("Routing destinations"));
    m_slotScroll = scroll;
    auto* slotsHost = new QWidget(scroll);
    slotsHost->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);
    auto* hostLayout = new QVBoxLayout(slotsHost);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    hostLayout->setSpacing(0);
    m_slotLayout = new QGridLayout;
    m_slotLayout->setHorizontalSpacing(6);
    m_slotLayout->setVerticalSpacing(rowSpacing);
    m_slotLayout->setColumnStretch(0, 1);
    m_slotLayout->setColumnStretch(1, 1);
    hostLayout->addLayout(m_slotLayout);
    hostLayout->addStretch(1);
    auto* custom = new CustomRow(slotsHost);
    m_customRow = custom;
    connect(custom, &QAbstractButton::clicked, this, [this] {
        if (m_callbacks.onBrowseCustom)
            m_callbacks.onBrowseCustom();
    });
    m_slotLayout->addWidget(custom, 0, 0, 1, 2);
    scroll->setWidget(slotsHost);
    routing->addWidget(scroll, 1);
    auto* suggestion = new SuggestionRow(this);
    suggestion->hide();
    connect(suggestion, &QAbstractButton::clicked, this, [this] {
        if (m_callbacks.onAcceptSuggestion)
            m_callbacks.onAcceptSuggestion();
    });
    m_suggestionRow = suggestion;
    routing->addWidget(suggestion);
    auto* likeLast = new SuggestionRow(this);
    likeLast->setObjectName(QStringLiteral("sameAsLastRow"));
    likeLast->hide();
    connect(likeLast, &QAbstractButton::clicked, this, [this] {
        if (m_callbacks.onFileLikeLast)
            m_callbacks.onFileLikeLast();
    });
    m_sameAsLastRow = likeLast;
    routing->addWidget(likeLast);
    root->addLayout(routing, 1);

    root->addWidget(Theme::divider(Qt::Horizontal, this));

    // Actions section.
    auto* actions = new QVBoxLayout;
    actions->setSpacing(4);
    actions->addWidget(heading(tr("ACTIONS"), this));
    auto* columns = new QHBoxLayout;
    columns->setSpacing(8);
    // The hints are the key table's, in its columns and rows.
    auto* first = new QVBoxLayout;
    first->setSpacing(2);
    auto* second = new QVBoxLayout;
    second->setSpacing(2);
    QList<const TriageKeyTable::Entry*> hinted;
    for (const TriageKeyTable::Entry& entry : TriageKeyTable::entries()) {
        if (!entry.hintKeys.isEmpty())
            hinted.append(&entry);
    }
    std::stable_sort(hinted.begin(), hinted.end(), [](const auto* a, const auto* b) {
        return std::pair(a->hintColumn, a->hintRow) < std::pair(b->hintColumn, b->hintRow);
    });
    for (const TriageKeyTable::Entry* entry : std::as_const(hinted)) {
        auto* hint =
            new ActionShortcutHint(entry->hintKeys, TriageKeyTable::translated(entry->hintLabel),
                                   hintAction(entry->action), this);
        (entry->hintColumn == 0 ? first : second)->addWidget(hint);
    }
    columns->addLayout(first);
    columns->addLayout(second);
    columns->addStretch(1);
    actions->addLayout(columns);
    root->addLayout(actions);

    // Status line, faded in when a message arrives.
    m_statusRow = new QWidget(this);
    auto* statusLayout = new QHBoxLayout(m_statusRow);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    statusLayout->setSpacing(6);
    m_statusIcon = new QLabel(m_statusRow);
    m_statusIcon->setObjectName(QStringLiteral("statusIcon"));
    m_statusIcon->setAlignment(Qt::AlignTop);
    m_statusIcon->hide();
    statusLayout->addWidget(m_statusIcon, 0, Qt::AlignTop);
    m_statusLabel = Theme::label({}, 11, QFont::Medium, Theme::accent(palette()), m_statusRow);
    m_statusLabel->setObjectName(QStringLiteral("statusLine"));
    // The label shows the message as laid out here, on at most two lines and cut with an
    // ellipsis (see showStatusText); its width follows the column, never the text.
    m_statusLabel->setWordWrap(false);
    m_statusLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_statusLabel->setMinimumWidth(1);
    m_statusLabel->installEventFilter(this);
    statusLayout->addWidget(m_statusLabel, 1);
    m_statusOpacity = new QGraphicsOpacityEffect(m_statusRow);
    m_statusOpacity->setOpacity(1.0);
    m_statusRow->setGraphicsEffect(m_statusOpacity);
    m_statusFade = new QPropertyAnimation(m_statusOpacity, "opacity", this);
    m_statusFade->setDuration(180);
    // The line keeps room for two lines whether or not a message shows, so that a message
    // never pushes the destinations out of view or makes the column jump.
    m_statusLabel->setFixedHeight(statusLines * QFontMetrics(m_statusLabel->font()).lineSpacing());
    m_statusLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_statusOpacity->setOpacity(0.0);
    root->addWidget(m_statusRow);
}

std::function<void()> ActionPaletteView::hintAction(TriageKeyTable::Action action) const
{
    using Action = TriageKeyTable::Action;
    std::function<void()> Callbacks::*member = nullptr;
    switch (action) {
    case Action::trash:
        member = &Callbacks::onTrash;
        break;
    case Action::skip:
        member = &Callbacks::onSkip;
        break;
    case Action::rename:
        member = &Callbacks::onStartRename;
        break;
    case Action::undo:
        member = &Callbacks::onUndo;
        break;
    case Action::reveal:
        member = &Callbacks::onRevealInFinder;
        break;
    case Action::moveToCustomFolder:
        member = &Callbacks::onBrowseCustom;
        break;
    case Action::openInDefaultApp:
        member = &Callbacks::onToggleFullscreenPreview;
        break;
    default:
        // Close and the rest: the hint only shows the key, which the window handles.
        return {};
    }
    return [this, member] {
        if (m_callbacks.*member)
            (m_callbacks.*member)();
    };
}

QString ActionPaletteView::announcement() const
{
    QStringList parts{m_item.filename};
    const QString kind = m_item.localizedKind();
    if (!kind.isEmpty())
        parts << kind;
    parts << m_item.formattedSize();
    if (m_total > 0)
        parts << tr("%1 of %2").arg(m_position).arg(m_total);
    return parts.join(QStringLiteral(", "));
}

void ActionPaletteView::setQueuePosition(int position, int total)
{
    m_position = position;
    m_total = total;
    announceItem();
}

void ActionPaletteView::setWaitingCount(qsizetype waiting)
{
    qsizetype index = m_seen.indexOf(m_item.id);
    if (index < 0) {
        m_seen.append(m_item.id);
        index = m_seen.size() - 1;
    }
    // Items shown before this one have been dealt with (filed, trashed or skipped).
    const qsizetype before = m_seen.size() - 1;
    const qsizetype total =
        std::max<qsizetype>(index + 1, before + std::max<qsizetype>(waiting, 1));
    setQueuePosition(int(std::min<qsizetype>(index + 1, INT_MAX)),
                     int(std::min<qsizetype>(total, INT_MAX)));
}

void ActionPaletteView::announceItem()
{
    const QString text = announcement();
    if (m_card->accessibleName() == text)
        return;
    m_card->setAccessibleName(text);
    m_card->setAccessibleDescription(cardDescription());
    // The card takes the focus when nothing else holds it (keys are read for the whole
    // window, so this changes no behaviour): a screen reader then speaks the new item.
    if (isVisible() && window()->isActiveWindow() && !QApplication::focusWidget())
        m_card->setFocus(Qt::OtherFocusReason);
    QAccessibleEvent changed(m_card, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void ActionPaletteView::setItem(const TriageItem& item)
{
    if (item == m_item)
        return;
    m_item = item;
    m_addedMs = item.creationDate.toMSecsSinceEpoch();
    static_cast<FileNameLabel*>(m_nameLabel)->setText(item.filename);
    m_sizeLabel->setText(item.formattedSize());
    m_kindLabel->setText(item.localizedKind());
    updateAddedTime();
    const QString folder = QDir::cleanPath(FileNaming::parentPath(item.path()));
    m_inboxName =
        m_downloadsFolder.isEmpty() || folder == m_downloadsFolder || item.path().isEmpty()
            ? QString()
            : InboxFolders::displayName(folder);
    showOriginHost(item.originHost);
    announceItem();
    // A browser records where a download came from in GIO's metadata rather than in the
    // file's attributes: read off this thread, shown if the item is still this one then.
    if (item.originHost.isEmpty() && !item.isDirectory && item.url.isLocalFile()) {
        const quint64 request = ++m_originRequest;
        DownloadUriMetadata::fetchHost(
            item.path(), this, [this, request, id = item.id](const QString& host) {
                if (request != m_originRequest || id != m_item.id || host.isEmpty())
                    return;
                showOriginHost(host);
                if (m_callbacks.onOriginHostFound)
                    m_callbacks.onOriginHostFound(id, host);
            });
    } else {
        ++m_originRequest;
    }
}

void ActionPaletteView::setDownloadsFolder(const QString& folder)
{
    m_downloadsFolder = QDir::cleanPath(folder);
}

void ActionPaletteView::showOriginHost(const QString& host)
{
    m_originHost = host;
    updateOriginLine();
}

void ActionPaletteView::updateOriginLine()
{
    QStringList parts;
    if (!m_originHost.isEmpty())
        parts << tr("from %1").arg(m_originHost);
    if (!m_inboxName.isEmpty())
        parts << tr("in %1").arg(m_inboxName);
    m_originLabel->setText(parts.join(QStringLiteral(" \u00b7 ")));
    m_originLabel->setVisible(!parts.isEmpty());
    m_card->setAccessibleDescription(cardDescription());
}

QString ActionPaletteView::cardDescription() const
{
    QString text =
        m_originHost.isEmpty() ? addedText() : tr("%1, from %2").arg(addedText(), m_originHost);
    if (!m_inboxName.isEmpty())
        text = tr("%1, in %2").arg(text, m_inboxName);
    // The notes under the card are part of what a screen reader hears for the item.
    for (const QLabel* note : {m_groupNote, m_duplicateLabel}) {
        if (note && !note->text().isEmpty())
            text += QStringLiteral(". ") +
                    QString(note->text()).replace(QLatin1Char('\n'), QLatin1String(". "));
    }
    return text;
}

void ActionPaletteView::setSuggestion(
    const std::optional<SuggestionService::Suggestion>& suggestion)
{
    const bool same = suggestion.has_value() == m_suggestion.has_value() &&
                      (!suggestion || (suggestion->folder == m_suggestion->folder &&
                                       suggestion->reason == m_suggestion->reason &&
                                       suggestion->slot == m_suggestion->slot));
    if (same)
        return;
    m_suggestion = suggestion;
    if (suggestion)
        static_cast<SuggestionRow*>(m_suggestionRow)->setSuggestion(*suggestion);
    m_suggestionRow->setVisible(suggestion.has_value());
    markSuggestedRow();
}

void ActionPaletteView::setGroup(const QStringList& names, int shown)
{
    QString text;
    if (names.size() > 1) {
        using Action = TriageKeyTable::Action;
        const QString summary = LookAlikeGrouper::summary(names);
        const QString keys = tr("%1 moves all \u00b7 %2 trashes all \u00b7 %3 to look through")
                                 .arg(TriageKeyTable::entry(Action::fileGroupToSlot).keyName,
                                      TriageKeyTable::entry(Action::trashGroup).keyName,
                                      TriageKeyTable::entry(Action::stepGroup).keyName);
        text = shown > 0 && shown < names.size() ? tr("%1\nShowing %2 of %3: %4")
                                                       .arg(summary)
                                                       .arg(shown + 1)
                                                       .arg(names.size())
                                                       .arg(names.at(shown))
                                                 : QStringLiteral("%1\n%2").arg(summary, keys);
    }
    if (text == m_groupNote->text())
        return;
    m_groupNote->setText(text);
    m_groupNote->setAccessibleName(QString(text).replace(QLatin1Char('\n'), QLatin1String(". ")));
    m_groupNote->setVisible(!text.isEmpty());
    m_card->setAccessibleDescription(cardDescription());
}

QString ActionPaletteView::groupNote() const
{
    return m_groupNote->text();
}

void ActionPaletteView::setDuplicateNote(const QString& text)
{
    if (text == m_duplicateLabel->text())
        return;
    m_duplicateLabel->setText(text);
    m_duplicateRow->setVisible(!text.isEmpty());
    m_card->setAccessibleDescription(cardDescription());
}

QString ActionPaletteView::duplicateNote() const
{
    return m_duplicateLabel->text();
}

void ActionPaletteView::setLastDestination(const QString& name)
{
    if (name == m_lastDestination)
        return;
    m_lastDestination = name;
    const QString key = TriageKeyTable::entry(TriageKeyTable::Action::fileLikeLast).keyName;
    if (!name.isEmpty())
        static_cast<SuggestionRow*>(m_sameAsLastRow)
            ->setKeyed(key, tr("Same as last: %1").arg(name), tr("Same as last: %1").arg(name),
                       tr("%1 moves the item to %2, where the last file went").arg(key, name));
    m_sameAsLastRow->setVisible(!name.isEmpty());
}

void ActionPaletteView::markSuggestedRow()
{
    for (QAbstractButton* row : std::as_const(m_slotRows)) {
        auto* slotRow = static_cast<SlotRow*>(row);
        slotRow->setSuggested(m_suggestion && m_suggestion->slot &&
                              *m_suggestion->slot == slotRow->slot());
    }
}

QString ActionPaletteView::addedText() const
{
    // Both moments in UTC: no time-zone lookup per redraw.
    return tr("Added %1")
        .arg(RelativeTimeFormatter::format(QDateTime::fromMSecsSinceEpoch(m_addedMs, Qt::UTC),
                                           QDateTime::currentDateTimeUtc()));
}

void ActionPaletteView::setSlots(const QList<DestinationSlot>& destinationSlots)
{
    if (destinationSlots == m_slots)
        return;
    m_slots = destinationSlots;
    rebuildSlotRows();
}

void ActionPaletteView::rebuildSlotRows()
{
    for (QAbstractButton* row : std::as_const(m_slotRows)) {
        m_slotLayout->removeWidget(row);
        row->deleteLater();
    }
    m_slotRows.clear();
    m_slotLayout->removeWidget(m_customRow);
    const int shown = int(std::min<qsizetype>(m_slots.size(), maxSlotRows));
    const int columns = shown > maxSingleColumnSlots ? 2 : 1;
    for (int i = 0; i < shown; ++i) {
        auto* row = new SlotRow(m_slots.at(i), m_customRow->parentWidget());
        connect(row, &QAbstractButton::clicked, this, [this, row] {
            // The folder may have gone since the last redraw: test again now. The container
            // files into an available slot and offers to create a missing one.
            row->refreshAvailability();
            if (m_callbacks.onSelectSlot)
                m_callbacks.onSelectSlot(row->slot());
        });
        // Row by row, so that the keys read 1 2 / 3 4 / ... across the two columns.
        if (columns == 1)
            m_slotLayout->addWidget(row, i, 0, 1, 2);
        else
            m_slotLayout->addWidget(row, i / 2, i % 2);
        m_slotRows.append(row);
    }
    // The custom row takes the cell after the last slot, or the whole line when it starts
    // one.
    const bool halfCell = columns == 2 && shown % 2 == 1;
    static_cast<CustomRow*>(m_customRow)->setStacked(halfCell);
    if (halfCell)
        m_slotLayout->addWidget(m_customRow, shown / 2, 1);
    else
        m_slotLayout->addWidget(m_customRow, (shown + columns - 1) / columns, 0, 1, 2);
    markSuggestedRow();
}

void ActionPaletteView::setStatus(const std::optional<StatusLine>& status)
{
    const StatusLine::Kind kind = status ? status->kind : StatusLine::Kind::Info;
    if (kind != m_statusKind) {
        m_statusKind = kind;
        QString symbol;
        QColor color = Theme::accent(palette());
        if (kind == StatusLine::Kind::Error) {
            symbol = QStringLiteral("exclamationmark.triangle.fill");
            color = Theme::red();
        } else if (kind == StatusLine::Kind::Progress) {
            symbol = QStringLiteral("forward");
        }
        Theme::setTextColor(m_statusLabel, color);
        m_statusIcon->setVisible(!symbol.isEmpty());
        if (!symbol.isEmpty())
            m_statusIcon->setPixmap(SymbolIcons::pixmap(symbol, 13, color, devicePixelRatioF()));
    }
    setStatusMessage(status ? std::optional<QString>(status->text) : std::nullopt);
}

void ActionPaletteView::setStatusMessage(const std::optional<QString>& message)
{
    if (message == m_statusMessage)
        return;
    const bool wasShown = m_statusMessage.has_value();
    m_statusMessage = message;
    if (message) {
        showStatusText();
        // The whole message, however it was cut on screen.
        m_statusLabel->setToolTip(*message);
        m_statusLabel->setAccessibleName(*message);
        if (!wasShown) {
            m_statusFade->stop();
            m_statusFade->setStartValue(0.0);
            m_statusFade->setEndValue(1.0);
            m_statusFade->start();
        }
    } else {
        m_statusFade->stop();
        m_statusOpacity->setOpacity(0.0);
        m_statusIcon->hide();
        m_statusLabel->clear();
        m_statusLabel->setToolTip(QString());
        m_statusLabel->setAccessibleName(QString());
    }
}

void ActionPaletteView::showStatusText()
{
    if (!m_statusMessage)
        return;
    m_statusLabel->setText(elideToLines(*m_statusMessage, m_statusLabel->font(),
                                        m_statusLabel->contentsRect().width(), statusLines,
                                        m_statusLabel->layoutDirection()));
}

bool ActionPaletteView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_statusLabel && event->type() == QEvent::Resize)
        showStatusText();
    return QWidget::eventFilter(watched, event);
}

void ActionPaletteView::refresh()
{
    if (m_sinceMomentRefresh.isValid() && m_sinceMomentRefresh.elapsed() < momentRefreshMs)
        return;
    m_sinceMomentRefresh.start();
    for (QAbstractButton* row : std::as_const(m_slotRows))
        static_cast<SlotRow*>(row)->refreshAvailability();
    updateAddedTime();
}

void ActionPaletteView::updateAddedTime()
{
    const QString text = addedText();
    if (text != m_addedLabel->text()) {
        m_addedLabel->setText(text);
        m_card->setAccessibleDescription(cardDescription());
    }
    // Only a palette on screen keeps time: a hidden program is not woken for it.
    if (!isVisible() || !m_item.creationDate.isValid()) {
        m_addedTimer->stop();
        return;
    }
    // A little past the moment the text changes, so that it has changed when looked at.
    constexpr qint64 slackMs = 20;
    const qint64 wait = RelativeTimeFormatter::msUntilChange(
        QDateTime::fromMSecsSinceEpoch(m_addedMs, Qt::UTC), QDateTime::currentDateTimeUtc());
    m_addedTimer->start(int(wait + slackMs));
}

void ActionPaletteView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    updateAddedTime();
}

void ActionPaletteView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_addedTimer->stop();
}
