#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QScrollArea;
class QToolButton;

// The preferences' line of watched folders: Downloads, always watched, then a working copy of
// the other folders watched for new items, each with a button to stop watching it, and a
// button to watch another. A folder that cannot be watched (Downloads itself, a folder inside
// or around another) is refused when added, and shown in orange with the reason when it came
// from config.json. Nothing here is saved: the owner reads inboxes() on Save.
class WatchedFoldersRow : public QWidget
{
    Q_OBJECT
public:
    // Asks the user for a folder, as config.json writes it ("~/Desktop"); nothing when they
    // cancel.
    using FolderPicker = std::function<std::optional<QString>()>;

    WatchedFoldersRow(const QStringList& inboxes, const QString& downloadsFolder,
                      FolderPicker pickFolder, QWidget* parent);

    // The other watched folders, as config.json writes them ("~/Desktop").
    const QStringList& inboxes() const { return m_inboxes; }
    void setInboxes(const QStringList& inboxes);
    void setDownloadsFolder(const QString& folder);

    // Asks for a folder to watch; false when none was chosen or it cannot be watched (then
    // problemChanged says why).
    bool addInbox();
    void removeInbox(int index);

signals:
    // Why the folder last chosen was not added; empty once there is nothing to say.
    void problemChanged(const QString& problem);

protected:
    void changeEvent(QEvent* event) override;

private:
    void rebuild();
    QLabel* addFolderLabel(QWidget* folders, const QString& name, const QString& description);

    QStringList m_inboxes;
    QString m_downloadsFolder;
    FolderPicker m_pickFolder;
    QLabel* m_caption = nullptr;
    QScrollArea* m_scroll = nullptr;
    QToolButton* m_addButton = nullptr;
};
