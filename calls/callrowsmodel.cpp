#include "calls/callrowsmodel.h"

namespace talmor {

int CallRowsModel::append(const std::vector<CallRecord>& calls) {
    std::vector<const CallRecord*> fresh;
    fresh.reserve(calls.size());
    for (const CallRecord& call : calls) {
        if (ids_.insert(call.callId).second) {
            fresh.push_back(&call);
        }
    }
    if (fresh.empty()) {
        return 0;
    }
    const int first = size();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(fresh.size()) - 1);
    for (const CallRecord* call : fresh) {
        calls_.push_back(*call);
    }
    endInsertRows();
    return static_cast<int>(fresh.size());
}

int CallRowsModel::removeCall(uint32_t callId) {
    if (ids_.erase(callId) == 0) {
        return 0;
    }
    int removed = 0;
    for (int row = 0; row < size();) {
        if (record(row).callId != callId) {
            ++row;
            continue;
        }
        // The row that moves into the freed place is examined too.
        beginRemoveRows(QModelIndex(), row, row);
        calls_.erase(calls_.begin() + row);
        endRemoveRows();
        ++removed;
    }
    return removed;
}

void CallRowsModel::clear() {
    beginResetModel();
    calls_.clear();
    ids_.clear();
    endResetModel();
}

int CallRowsModel::rowOf(uint32_t callId) const {
    for (int row = 0; row < size(); ++row) {
        if (record(row).callId == callId) {
            return row;
        }
    }
    return -1;
}

int CallRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : size();
}

bool CallRowsModel::holdsCell(const QModelIndex& index, int columns) const {
    return index.isValid() && index.row() < size() && index.column() < columns;
}

} // namespace talmor
