#include "views/CreateFolderOffer.h"

#include "views/SymbolIcons.h"
#include "views/Theme.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int cardWidth = 420;

// The card's rounded background in the window's colours.
class OfferCard : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        Theme::paintCard(painter, QRectF(rect()), 12, palette());
    }
};

} // namespace

QString CreateFolderOffer::moveQuestion(const QString& shownPath)
{
    return tr("Create %1 and move the item there?").arg(shownPath);
}

QString CreateFolderOffer::createQuestion(const QString& shownPath)
{
    return tr("The folder %1 does not exist. Create it now?").arg(shownPath);
}

CreateFolderOffer::CreateFolderOffer(const QString& question, const QString& acceptText,
                                     std::function<void()> onAccept, std::function<void()> onCancel,
                                     QWidget* parent)
    : QWidget(parent), m_onAccept(std::move(onAccept)), m_onCancel(std::move(onCancel)),
      m_card(new OfferCard(this)), m_shadow(10, 20, QPoint(0, 10), QColor(0, 0, 0, 77))
{
    setObjectName(QStringLiteral("createFolderOffer"));
    setFocusPolicy(Qt::StrongFocus);
    m_card->setObjectName(QStringLiteral("createFolderCard"));
    m_card->setFixedWidth(cardWidth);

    auto* layout = new QVBoxLayout(m_card);
    layout->setContentsMargins(20, 18, 20, 16);
    layout->setSpacing(14);
    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    auto* icon = new QLabel(m_card);
    icon->setPixmap(SymbolIcons::pixmap(QStringLiteral("folder.badge.plus"), 28,
                                        palette().color(QPalette::Highlight), devicePixelRatioF()));
    icon->setAlignment(Qt::AlignTop);
    m_question = new QLabel(question, m_card);
    m_question->setObjectName(QStringLiteral("question"));
    m_question->setTextFormat(Qt::PlainText);
    m_question->setWordWrap(true);
    m_question->setFont(Theme::font(13, QFont::DemiBold));
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(m_question, 1);
    layout->addLayout(top);

    auto* hint = Theme::label(tr("Return to confirm, Escape to cancel"), 11, QFont::Normal,
                              Theme::secondary(palette()), m_card);
    hint->setObjectName(QStringLiteral("hint"));
    layout->addWidget(hint);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_cancel = new QPushButton(tr("Cancel"), m_card);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setAccessibleDescription(tr("Leaves everything as it is (Escape)"));
    m_accept = new QPushButton(acceptText, m_card);
    m_accept->setObjectName(QStringLiteral("acceptButton"));
    m_accept->setAccessibleDescription(tr("%1 (Return)").arg(question));
    m_accept->setDefault(true);
    Theme::makeProminent(m_accept, palette());
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_accept);
    layout->addLayout(buttons);

    connect(m_accept, &QPushButton::clicked, this, &CreateFolderOffer::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CreateFolderOffer::cancel);

    setAccessibleName(tr("Create folder"));
    setAccessibleDescription(question);
    if (parent) {
        parent->installEventFilter(this);
        setGeometry(parent->rect());
    }
    placeCard();
}

QString CreateFolderOffer::question() const
{
    return m_question->text();
}

void CreateFolderOffer::accept()
{
    if (m_answered)
        return;
    m_answered = true;
    if (m_onAccept)
        m_onAccept();
}

void CreateFolderOffer::cancel()
{
    if (m_answered)
        return;
    m_answered = true;
    if (m_onCancel)
        m_onCancel();
}

bool CreateFolderOffer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void CreateFolderOffer::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        // A focused Cancel button answers for itself, as buttons do.
        if (m_cancel->hasFocus())
            cancel();
        else
            accept();
        return;
    case Qt::Key_Escape:
        event->accept();
        cancel();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CreateFolderOffer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeCard();
}

void CreateFolderOffer::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    raise();
    setFocus(Qt::OtherFocusReason);
}

void CreateFolderOffer::placeCard()
{
    m_card->adjustSize();
    QRect card(QPoint(0, 0), QSize(cardWidth, m_card->heightForWidth(cardWidth) > 0
                                                  ? m_card->heightForWidth(cardWidth)
                                                  : m_card->sizeHint().height()));
    card.moveCenter(rect().center());
    m_card->setGeometry(card);
    update();
}

void CreateFolderOffer::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgbF(0, 0, 0, 0.25));
    m_shadow.paint(painter, m_card->geometry());
}

void CreateFolderOffer::mousePressEvent(QMouseEvent* event)
{
    // Like any sheet: the window behind takes no clicks.
    event->accept();
}
