#pragma once

#include "platform/ArchiveListing.h"

#include <QWidget>

class ElidedLabel;
class QLabel;
class QListView;
class QScrollArea;
class QStandardItemModel;
class QVBoxLayout;

// The preview of an archive: a header with its name and what it holds ("Zip archive ·
// 42 files · 1.2 GB"), notes when the listing is not the whole story (damaged, cut at a
// limit, names that would unpack elsewhere, sizes far beyond the archive's own), and its
// entries in archive order with their declared sizes.
class ArchiveListingView : public QWidget
{
    Q_OBJECT
public:
    explicit ArchiveListingView(QWidget* parent = nullptr);

    // Shows `listing` of the archive `name`, of type `kind`, `archiveSize` bytes on disk.
    void setListing(const QString& name, const QString& kind, qint64 archiveSize,
                    const ArchiveListing& listing);

    // The header's line under the name.
    QString summary() const;
    // The notes shown above the list, in order.
    QStringList notes() const;
    // The rows as shown: the name, with the size after a tab.
    QStringList rows() const;
    // The rows marked as unpacking outside their folder.
    QList<int> escapingRows() const;

    // An entry name as shown: control and bidirectional-format characters, which could hide
    // or reorder parts of a name ("evil\u202Egpj.exe"), are shown as U+FFFD.
    static QString displayName(const QString& name);

private:
    struct Note
    {
        QString text;
        bool warning = false;
        QString symbol; // for notes that are not warnings
    };
    static QString summaryText(const QString& kind, const ArchiveListing& listing);
    static QList<Note> notesFor(const ArchiveListing& listing, qint64 archiveSize);
    QWidget* buildHeader();

    ElidedLabel* m_name = nullptr;
    ElidedLabel* m_summary = nullptr;
    QScrollArea* m_scrollArea = nullptr;
    QWidget* m_notes = nullptr;
    QVBoxLayout* m_notesLayout = nullptr;
    QLabel* m_caption = nullptr;
    QListView* m_list = nullptr;
    QStandardItemModel* m_model = nullptr;
    QList<Note> m_currentNotes;
};
