#include "views/WatchedFoldersRow.h"

#include "models/InboxFolders.h"
#include "platform/StoragePaths.h"
#include "views/SettingsControls.h"
#include "views/Theme.h"

#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QToolButton>

#include <utility>

WatchedFoldersRow::WatchedFoldersRow(const QStringList& inboxes, const QString& downloadsFolder,
                                     FolderPicker pickFolder, QWidget* parent)
    : QWidget(parent), m_inboxes(inboxes), m_downloadsFolder(downloadsFolder),
      m_pickFolder(std::move(pickFolder))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    m_caption = new QLabel(tr("Watching:"), this);
    // One line of folders: the slots keep the room. A folder that takes the focus (Tab to
    // its Remove button) is scrolled into view.
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("inboxList"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setAutoFillBackground(false);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_scroll->setAccessibleName(tr("Watched folders"));
    m_addButton = SettingsControls::symbolButton(
        QStringLiteral("folder.badge.plus"), QStringLiteral("addInboxButton"),
        tr("Watch Another Folder..."), tr("Watches another folder for new items, as Downloads is"),
        Theme::secondary(palette()), this);
    m_addButton->setFixedSize(20, 16);
    layout->addWidget(m_caption);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(m_addButton);
    connect(m_addButton, &QToolButton::clicked, this, &WatchedFoldersRow::addInbox);
    rebuild();
    SettingsControls::useSecondaryColor({m_caption}, palette());
}

void WatchedFoldersRow::setInboxes(const QStringList& inboxes)
{
    m_inboxes = inboxes;
    emit problemChanged(QString());
    rebuild();
}

void WatchedFoldersRow::setDownloadsFolder(const QString& folder)
{
    m_downloadsFolder = QDir::cleanPath(folder);
    rebuild();
}

QLabel* WatchedFoldersRow::addFolderLabel(QWidget* folders, const QString& name,
                                          const QString& description)
{
    auto* label = new QLabel(name, folders);
    label->setObjectName(QStringLiteral("inboxFolder"));
    label->setFont(Theme::font(12));
    label->setToolTip(description);
    label->setAccessibleDescription(description);
    folders->layout()->addWidget(label);
    return label;
}

void WatchedFoldersRow::rebuild()
{
    auto* folders = new QWidget;
    folders->setObjectName(QStringLiteral("inboxFolders"));
    folders->setAutoFillBackground(false);
    auto* layout = new QHBoxLayout(folders);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    // Each folder by its name, as the triage window names an item's inbox; the path is in
    // its tooltip and its description.
    addFolderLabel(folders, InboxFolders::displayName(m_downloadsFolder),
                   tr("%1: always watched").arg(StoragePaths::tildePath(m_downloadsFolder)));
    // Entries that cannot be watched (written by hand into config.json) show why, so that
    // they can be removed here.
    QStringList accepted;
    const QColor glyph = Theme::secondary(palette());
    for (int i = 0; i < m_inboxes.size(); ++i) {
        const QString& entry = m_inboxes.at(i);
        const QString problem = InboxFolders::problemWith(entry, accepted, m_downloadsFolder);
        const QString folder = InboxFolders::folderOf(entry);
        if (problem.isEmpty())
            accepted << folder;
        layout->addSpacing(8);
        QLabel* label =
            addFolderLabel(folders, folder.isEmpty() ? entry : InboxFolders::displayName(folder),
                           problem.isEmpty() ? tr("%1: watched for new items").arg(entry)
                                             : tr("%1: not watched, %2").arg(entry, problem));
        if (!problem.isEmpty()) {
            QPalette colors = label->palette();
            colors.setColor(QPalette::WindowText, Theme::orange());
            label->setPalette(colors);
        }
        auto* remove = SettingsControls::symbolButton(
            QStringLiteral("minus.circle"), QStringLiteral("removeInboxButton"),
            tr("Stop watching %1").arg(entry),
            tr("Removes this folder from the watched folders; its items "
               "leave the queue"),
            glyph, folders);
        // As tall as the title's line.
        remove->setIconSize(QSize(12, 12));
        remove->setFixedSize(16, 16);
        connect(remove, &QToolButton::clicked, this, [this, i] { removeInbox(i); });
        layout->addWidget(remove);
    }
    layout->addStretch(1);
    // The old row goes later: this may run inside a click on one of its buttons.
    if (QWidget* old = m_scroll->takeWidget()) {
        old->hide();
        old->deleteLater();
    }
    m_scroll->setWidget(folders);
}

bool WatchedFoldersRow::addInbox()
{
    const std::optional<QString> entry = m_pickFolder ? m_pickFolder() : std::nullopt;
    if (!entry)
        return false;
    const QString problem = InboxFolders::problemWith(
        *entry, InboxFolders::resolve(m_inboxes, m_downloadsFolder), m_downloadsFolder);
    emit problemChanged(problem.isEmpty() ? QString() : tr("Not added: %1").arg(problem));
    if (!problem.isEmpty())
        return false;
    m_inboxes.append(*entry);
    rebuild();
    m_addButton->setFocus(Qt::OtherFocusReason);
    return true;
}

void WatchedFoldersRow::removeInbox(int index)
{
    if (index < 0 || index >= m_inboxes.size())
        return;
    m_inboxes.removeAt(index);
    emit problemChanged(QString());
    rebuild();
    m_addButton->setFocus(Qt::OtherFocusReason);
}

void WatchedFoldersRow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        SettingsControls::useSecondaryColor({m_caption}, palette());
}
