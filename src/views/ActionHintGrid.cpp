#include "views/ActionHintGrid.h"

#include "views/ActionShortcutHint.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

ActionHintGrid::ActionHintGrid(const ActionFor& actionFor, QWidget* parent) : QWidget(parent)
{
    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(8);
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
                                   actionFor(entry->action), this);
        (entry->hintColumn == 0 ? first : second)->addWidget(hint);
    }
    columns->addLayout(first);
    columns->addLayout(second);
    columns->addStretch(1);
}
