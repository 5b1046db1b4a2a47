#include "calls/calllistmodel.h"

#include "calls/rowimages.h"

namespace talmor {

CallListModel::CallListModel(ColumnWording wording, int rowImage, QObject* parent)
    : QAbstractTableModel(parent), columns_(CallColumns(wording)), rowImage_(rowImage) {}

int CallListModel::append(const std::vector<CallRecord>& calls) {
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

int CallListModel::removeCall(uint32_t callId) {
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

void CallListModel::clear() {
    beginResetModel();
    calls_.clear();
    ids_.clear();
    endResetModel();
}

int CallListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : size();
}

int CallListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant CallListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= size() || index.column() >= columnCount()) {
        return QVariant();
    }
    const CallColumn& column = columns_[static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return CellText(column.field, record(index.row()));
    case Qt::DecorationRole:
        return index.column() == 0 ? QVariant(RowImage(rowImage_)) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (column.centred ? Qt::AlignHCenter : Qt::AlignLeft));
    default:
        return QVariant();
    }
}

QVariant CallListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return QVariant();
    }
    const CallColumn& column = columns_[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) {
        return QString::fromUtf8(column.heading);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (column.centred ? Qt::AlignHCenter : Qt::AlignLeft));
    }
    return QVariant();
}

} // namespace talmor
