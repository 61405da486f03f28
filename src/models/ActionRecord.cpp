#include "models/ActionRecord.h"

bool ActionRecord::ActionType::operator==(const ActionType& other) const
{
    if (kind != other.kind)
        return false;
    if (kind == Kind::Trashed)
        return from == other.from;
    return from == other.from && to == other.to;
}

ActionRecord::ActionRecord(const ActionType& actionType, const TriageItem& actedOn,
                           const QUuid& recordId, const QDateTime& when)
    : id(recordId), type(actionType), item(actedOn), timestamp(when)
{
}
