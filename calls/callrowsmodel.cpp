#include "calls/callrowsmodel.h"

#include "calls/rowimages.h"

namespace talmor {

namespace {

Qt::Alignment ColumnAlignment(const CallColumn& column) {
    return Qt::AlignVCenter | (column.centred ? Qt::AlignHCenter : Qt::AlignLeft);
}

} // namespace

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

int CallRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant CallRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= size() || index.column() >= columnCount()) {
        return QVariant();
    }
    const CallColumn& column = columns_[static_cast<std::size_t>(index.column())];
    const CallRecord& call = record(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return CellText(column.field, call);
    case Qt::DecorationRole:
        return index.column() == 0 ? QVariant(RowImage(rowImage(call))) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(ColumnAlignment(column));
    default:
        return QVariant();
    }
}

QVariant CallRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return QVariant();
    }
    const CallColumn& column = columns_[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) {
        return QString::fromUtf8(column.heading);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(ColumnAlignment(column));
    }
    return QVariant();
}

} // namespace talmor
