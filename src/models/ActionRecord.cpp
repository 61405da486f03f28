#include "models/ActionRecord.h"

bool ActionRecord::ActionType::operator==(const ActionType& other) const
{
    if (kind != other.kind)
        return false;
    if (kind == Kind::Trashed)
        return from == other.from;
    return from == other.from && to == other.to;
}

ActionRecord::ActionRecord(const ActionType& type, const TriageItem& item, const QUuid& id,
                           const QDateTime& timestamp)
    : id(id), type(type), item(item), timestamp(timestamp)
{
}
