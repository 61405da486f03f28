#pragma once

#include "models/DestinationSlot.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class CreateFolderOffer;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;

// The preferences' list of destination slots: a working copy of the slots, one row each
// (key, name, folder, Browse..., move up and down, remove), an Add Slot button and the line
// that says why a folder could not be created. Keys are always 1 to n in list order, at most
// nine (one per digit key). A folder that does not exist is flagged, with an offer to create
// it shown over offerHost. Nothing here is saved: the owner reads destinationSlots() on Save.
class SlotListEditor : public QWidget
{
    Q_OBJECT
public:
    // One slot for each digit key 1-9.
    static constexpr int maximumSlots = 9;
    // Asks the user for a folder, as config.json writes it ("~/Documents"); nothing when
    // they cancel.
    using FolderPicker = std::function<std::optional<QString>()>;

    SlotListEditor(const QList<DestinationSlot>& destinationSlots, FolderPicker pickFolder,
                   QWidget* offerHost, QWidget* parent);

    // The working copy, numbered in list order.
    const QList<DestinationSlot>& destinationSlots() const { return m_slots; }
    void setDestinationSlots(const QList<DestinationSlot>& destinationSlots);

    // Appends an empty slot and puts the focus in its name; false (and nothing added) when
    // there are nine already.
    bool addSlot();
    void removeSlot(int index);
    // Moves the slot at index by delta places (-1 up, 1 down). Keys follow the list order.
    void moveSlot(int index, int delta);
    void browseForSlot(int index);

protected:
    void changeEvent(QEvent* event) override;

private:
    QLayout* makeHeading();
    QScrollArea* makeScrollArea();
    void rebuildRows();
    QWidget* makeRow(int index, QWidget* parent);
    QLineEdit* makeNameField(const DestinationSlot& slot, QWidget* row);
    QLineEdit* makePathField(const DestinationSlot& slot, QWidget* row);
    QToolButton* makeMissingFlag(const DestinationSlot& slot, QWidget* row);
    void renumber();
    void updateAddButton();
    QWidget* slotRow(int index) const;
    int focusedRow() const;
    QString focusedControlName() const;
    void focusInRow(int index, const QString& objectName);
    void updateMissingFlag(int index);
    void offerToCreateFolder(int index);
    static bool folderExists(const DestinationSlot& slot);

    QList<DestinationSlot> m_slots;
    FolderPicker m_pickFolder;
    QWidget* m_offerHost;
    QLabel* m_heading = nullptr;
    QPushButton* m_addButton = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_rows = nullptr;
    QLabel* m_problem = nullptr;
    CreateFolderOffer* m_createOffer = nullptr;
};
