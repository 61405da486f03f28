#include "views/ActionProgressView.h"

#include "models/TriageItem.h"
#include "views/ElidedLabel.h"
#include "views/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

ActionProgressView::ActionProgressView(std::function<void()> onCancel, QWidget* parent)
    : QWidget(parent), m_onCancel(std::move(onCancel))
{
    setObjectName(QStringLiteral("actionProgress"));
    setFixedHeight(stripHeight);
    setAccessibleName(tr("File action in progress"));
    auto* layout = new QHBoxLayout(this);
    // One pixel more at the top: the hairline above the strip.
    layout->setContentsMargins(16, 5, 10, 4);
    layout->setSpacing(12);

    m_title = new ElidedLabel({}, this);
    m_title->setObjectName(QStringLiteral("progressTitle"));
    m_title->setFont(Theme::font(12, QFont::Medium));
    m_waiting = Theme::label({}, 12, QFont::Normal, Theme::secondary(palette()), this);
    m_waiting->setObjectName(QStringLiteral("progressWaiting"));
    m_waiting->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The name gives way first; the bar takes what is left over.
    auto* what = new QHBoxLayout;
    what->setSpacing(6);
    what->addWidget(m_title);
    what->addWidget(m_waiting);
    layout->addLayout(what);

    m_bar = new QWidget(this);
    m_bar->setObjectName(QStringLiteral("progressBar"));
    m_bar->setMinimumWidth(90);
    m_bar->setMaximumWidth(200);
    m_bar->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(m_bar, 4);
    layout->addStretch(1);

    m_detail = Theme::label({}, 11, QFont::Normal, Theme::secondary(palette()), this);
    m_detail->setObjectName(QStringLiteral("progressDetail"));
    m_detail->setFont(Theme::font(11, QFont::Normal));
    layout->addWidget(m_detail);

    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancelActionButton"));
    // The window's key map reads every key; the button never needs the focus.
    m_cancel->setFocusPolicy(Qt::NoFocus);
    m_cancel->setToolTip(tr("Cancel the running move (C)"));
    m_cancel->setAccessibleDescription(tr("Cancels the running move (C)"));
    m_cancel->setFixedHeight(24);
    m_cancel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_onCancel)
            m_onCancel();
    });
    layout->addWidget(m_cancel);
}

QString ActionProgressView::timeLeftText(qint64 ms)
{
    const qint64 seconds = std::max<qint64>(1, (ms + 999) / 1000);
    if (seconds < 10)
        return tr("about %1 s left").arg(seconds);
    if (seconds < 60)
        return tr("about %1 s left").arg((seconds + 4) / 5 * 5);
    const qint64 minutes = (seconds + 59) / 60;
    if (minutes < 60)
        return tr("about %1 min left").arg(minutes);
    return tr("about %1 h %2 min left").arg(minutes / 60).arg(minutes % 60);
}

QString ActionProgressView::detail() const
{
    return m_detail->text();
}

void ActionProgressView::setAction(const TriageActionController::RunningAction& action)
{
    const QString waiting = action.waiting.isEmpty()
                                ? QString()
                                : tr("— %n more waiting", nullptr, int(action.waiting.size()));
    m_titleText = waiting.isEmpty() ? action.text : action.text + QLatin1Char(' ') + waiting;
    m_title->setText(action.text);
    m_waiting->setText(waiting);
    m_waiting->setVisible(!waiting.isEmpty());
    m_waiting->setToolTip(action.waiting.join(QLatin1Char('\n')));
    m_title->setToolTip(
        action.waiting.isEmpty()
            ? action.text
            : tr("%1\nWaiting: %2").arg(action.text, action.waiting.join(QStringLiteral("; "))));

    QStringList parts;
    m_fraction = -1;
    // A group: the files done first, then the bytes of all of them.
    if (action.filesTotal > 0) {
        parts << tr("%1 of %n files", nullptr, action.filesTotal).arg(action.filesDone);
        m_fraction = std::clamp(double(action.filesDone) / double(action.filesTotal), 0.0, 1.0);
    }
    if (action.bytesTotal > 0) {
        m_fraction = std::clamp(double(action.bytesDone) / double(action.bytesTotal), 0.0, 1.0);
        parts << tr("%1 of %2")
                     .arg(TriageItem::formatByteCount(action.bytesDone),
                          TriageItem::formatByteCount(action.bytesTotal))
              << QStringLiteral("%1%").arg(int(m_fraction * 100));
    }
    m_stalled = action.stalled && !action.cancelling;
    if (action.cancelling)
        parts << tr("Cancelling…");
    else if (action.stalled)
        parts << tr("Not responding");
    else if (action.msLeft)
        parts << timeLeftText(*action.msLeft);
    m_detail->setText(parts.join(QStringLiteral(" · ")));
    Theme::setTextColor(m_detail, m_stalled ? Theme::red() : Theme::secondary(palette()));
    m_title->setColor(Theme::primary(palette()));
    m_cancel->setEnabled(!action.cancelling);
    setAccessibleDescription(m_titleText + QStringLiteral(". ") + m_detail->text());
    update();
}

void ActionProgressView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The hairline that parts the strip from the window above.
    painter.fillRect(QRect(0, 0, width(), 1), Theme::separator(palette()));

    const QRect slot = m_bar->geometry();
    const qreal height = 6;
    const QRectF track(slot.left(), slot.center().y() - height / 2 + 0.5, slot.width(), height);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::primary(palette(), Theme::isDark(palette()) ? 0.16 : 0.10));
    painter.drawRoundedRect(track, height / 2, height / 2);
    if (m_fraction > 0) {
        QRectF filled = track;
        filled.setWidth(std::max(height, track.width() * m_fraction));
        painter.setBrush(m_stalled ? Theme::orange() : Theme::accent(palette()));
        painter.drawRoundedRect(filled, height / 2, height / 2);
    }
}
