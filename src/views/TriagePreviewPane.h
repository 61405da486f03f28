#pragma once

#include "models/TriageItem.h"

#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <memory>

class ItemRevealer;
class LoggerService;
class QVBoxLayout;

// The left side of the triage window: the preview of the head item. A folder shows its
// contents, a file its preview host; a large file waits behind a notice until the user
// asks for its preview. The preview is built anew only when the item or that permission
// changes.
class TriagePreviewPane : public QWidget
{
    Q_OBJECT
public:
    // logger: where the previews log what they could not show.
    TriagePreviewPane(std::shared_ptr<ItemRevealer> revealer, LoggerService& logger,
                      QWidget* parent = nullptr);

    void showItem(const TriageItem& item, bool allowLargePreview);
    void clear();

signals:
    // The large-file notice's "Load Preview" was pressed.
    void largePreviewRequested();
    // The item's preview is on screen: loaded (or found unavailable), or shown as a folder or
    // as the large-file notice.
    void previewShown();

private:
    void rebuild(const TriageItem& item, bool allowLargePreview);

    std::shared_ptr<ItemRevealer> m_revealer;
    LoggerService& m_logger;
    QVBoxLayout* m_layout = nullptr;
    QPointer<QWidget> m_preview;
    QUuid m_itemID;
    bool m_allowedLarge = false;
};
