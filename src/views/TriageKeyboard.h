#pragma once

#include "models/TriageKeyTable.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class ConfigurationService;
class LatinKeyResolver;
class LoggerService;
class QKeyEvent;
class TriageContainerView;
class TriageQueueManager;

// The HUD's keyboard. While the window is shown, an application-wide event filter sees every
// key press meant for it before focus handling does (Tab included), reads the key as the key
// table knows it (by its Latin letter or digit on layouts without them) and runs the table's
// action on the window. Keys for the open rename field, sheet or offer are left to them.
class TriageKeyboard : public QObject
{
    Q_OBJECT
public:
    struct Context
    {
        TriageQueueManager* queue = nullptr;
        ConfigurationService* config = nullptr;
        LoggerService* logger = nullptr;
        // What a key stands for on the user's layouts; none: keys are read as they type.
        std::shared_ptr<LatinKeyResolver> keyResolver;
        std::function<void()> onDismiss; // the close key
    };

    TriageKeyboard(TriageContainerView& view, Context context);
    ~TriageKeyboard() override;

    // Starts and stops reading the application's keys; either may be called again.
    void install();
    void remove();

    // The key map (TriageKeyTable). Returns true when the key was consumed, false to pass
    // it on.
    bool handleKeyEvent(QKeyEvent* event);
    // The characters of a key press with Ctrl and Alt ignored (Shift applied).
    static QString keyCharacters(const QKeyEvent* event);
    // The character the key table knows a key press by: the key's own when the table has it
    // or it is a Latin letter or digit, else the Latin letter or digit of the key on the
    // user's layouts ("в" on a Russian layout is "d", an unshifted "&" on a French one "1").
    // A symbol typed with Shift is the digit of its key when it has one ("!" on Shift+1 is
    // "1", with Shift: the whole group), else itself ("?").
    QChar tableCharacter(const QKeyEvent* event) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs a key's action; false when the key is passed on.
    bool runKeyAction(const TriageKeyTable::Entry& entry, QChar key);
    // A digit: files the head (or its group) into that slot.
    bool runSlotKey(int number, bool group);
    // Return: files the head as suggested, or on the empty state brings skipped files back.
    bool runReturnKey();
    // The keys that only the open rename field, sheet or offer may have; nullopt when the
    // key map is free to read the key.
    std::optional<bool> keyForOpenPanel(const QKeyEvent* event, const QString& characters);

    TriageContainerView& m_view;
    Context m_context;
    bool m_installed = false;
    // The key press last seen by the filter and the widget it was offered to: an ignored
    // key is offered again to every parent, and must be handled only the first time.
    const QEvent* m_lastKeyEvent = nullptr;
    QPointer<QObject> m_lastKeyReceiver;
};
