#pragma once

#include "models/TriageKeyTable.h"

#include <QWidget>

#include <functional>

// The key hints at the foot of the palette ("[Space] Preview", "[Del] Trash", ...): every key
// of the key table that has a hint, in the table's two columns and in its order within each.
// Clicking a hint does what its key does; the action for each key comes from actionFor (an
// empty one: the hint only shows the key, which the window handles).
class ActionHintGrid : public QWidget
{
    Q_OBJECT
public:
    using ActionFor = std::function<std::function<void()>(TriageKeyTable::Action)>;

    explicit ActionHintGrid(const ActionFor& actionFor, QWidget* parent = nullptr);
};
