#include "views/InlineRenameView.h"

#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QToolButton>

InlineRenameView::InlineRenameView(const QString& filename,
                                   std::function<void(const QString&)> onTextChanged,
                                   std::function<void(const QString&)> onCommit,
                                   std::function<void()> onCancel, QWidget* parent)
    : QWidget(parent), m_onTextChanged(std::move(onTextChanged)), m_onCommit(std::move(onCommit)),
      m_onCancel(std::move(onCancel))
{
    setObjectName(QStringLiteral("InlineRenameView"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 6, 10, 6);
    layout->setSpacing(8);

    auto* icon = new QLabel(this);
    icon->setPixmap(SymbolIcons::pixmap(QStringLiteral("pencil.line"), 16, Theme::accent(palette()),
                                        devicePixelRatioF()));
    layout->addWidget(icon);

    m_field = new QLineEdit(filename, this);
    m_field->setObjectName(QStringLiteral("renameField"));
    m_field->setFrame(false);
    m_field->setPlaceholderText(tr("New filename"));
    m_field->setAccessibleName(tr("New file name"));
    m_field->setAccessibleDescription(tr("Press Return to confirm, Escape to cancel"));
    m_field->setFont(Theme::font(14, QFont::Medium));
    m_field->setAttribute(Qt::WA_MacShowFocusRect, false);
    QPalette fieldPalette = m_field->palette();
    fieldPalette.setColor(QPalette::Base, Qt::transparent);
    m_field->setPalette(fieldPalette);
    m_field->installEventFilter(this);
    layout->addWidget(m_field, 1);

    auto* commit = new QToolButton(this);
    commit->setObjectName(QStringLiteral("renameCommit"));
    commit->setAutoRaise(true);
    commit->setIcon(SymbolIcons::icon(QStringLiteral("checkmark.circle.fill"), Theme::green()));
    commit->setToolTip(tr("Rename"));
    commit->setAccessibleName(tr("Confirm rename"));
    commit->setAccessibleDescription(tr("Renames the item to the new name (Return)"));
    commit->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(commit);

    auto* cancel = new QToolButton(this);
    cancel->setObjectName(QStringLiteral("renameCancel"));
    cancel->setAutoRaise(true);
    cancel->setIcon(
        SymbolIcons::icon(QStringLiteral("xmark.circle.fill"), Theme::secondary(palette())));
    cancel->setToolTip(tr("Cancel"));
    cancel->setAccessibleName(tr("Cancel rename"));
    cancel->setAccessibleDescription(tr("Keeps the old name (Escape)"));
    cancel->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(cancel);

    connect(m_field, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_onTextChanged)
            m_onTextChanged(text);
    });
    connect(m_field, &QLineEdit::returnPressed, this, [this] {
        if (m_onCommit)
            m_onCommit(m_field->text());
    });
    connect(commit, &QToolButton::clicked, this, [this] {
        if (m_onCommit)
            m_onCommit(m_field->text());
    });
    connect(cancel, &QToolButton::clicked, this, [this] {
        if (m_onCancel)
            m_onCancel();
    });
}

QString InlineRenameView::text() const
{
    return m_field->text();
}

void InlineRenameView::setText(const QString& text)
{
    if (m_field->text() != text)
        m_field->setText(text);
}

void InlineRenameView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Take focus as soon as the field is on screen, so the user can type at once, with the
    // base name selected: typing replaces "report" and keeps ".pdf".
    auto focus = [field = m_field] {
        field->setFocus(Qt::OtherFocusReason);
        field->setSelection(0, int(baseNameLength(field->text())));
    };
    focus();
    QTimer::singleShot(0, m_field, focus);
}

qsizetype InlineRenameView::baseNameLength(const QString& filename)
{
    // The extension the file types know ("tar.gz" for archive.tar.gz), else whatever
    // follows the last dot; a leading dot (".bashrc") is part of the name.
    const QString known = QMimeDatabase().suffixForFileName(filename);
    if (!known.isEmpty() && filename.size() > known.size() + 1 &&
        filename.endsWith(QLatin1Char('.') + known, Qt::CaseInsensitive))
        return filename.size() - known.size() - 1;
    const qsizetype dot = filename.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? dot : filename.size();
}

bool InlineRenameView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_field && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (m_onCancel)
            m_onCancel();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void InlineRenameView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), 8, 8);
    p.fillPath(path, Theme::controlBackground(palette()));
    p.setPen(QPen(Theme::accent(palette()), 1.5));
    p.drawPath(path);
}
