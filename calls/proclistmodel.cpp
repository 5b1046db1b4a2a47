#include "calls/proclistmodel.h"

#include <QMimeData>

#include "calls/proclistcolumns.h"
#include "calls/rowimages.h"
#include "console/categories.h"
#include "console/eventroutes.h"

namespace talmor {

namespace {

Qt::Alignment ColumnAlignment(const ProcColumn& column) {
    return Qt::AlignVCenter | (column.centred ? Qt::AlignHCenter : Qt::AlignLeft);
}

bool Draggable(const CallRecord& call) {
    return call.category == static_cast<uint32_t>(kHelpCategory);
}

} // namespace

ProcListModel::ProcListModel(QObject* parent) : QAbstractTableModel(parent) {}

int ProcListModel::append(const std::vector<CallRecord>& calls) {
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

int ProcListModel::removeCall(uint32_t callId) {
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

void ProcListModel::clear() {
    beginResetModel();
    calls_.clear();
    ids_.clear();
    endResetModel();
}

int ProcListModel::rowOf(uint32_t callId) const {
    for (int row = 0; row < size(); ++row) {
        if (record(row).callId == callId) {
            return row;
        }
    }
    return -1;
}

int ProcListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : size();
}

int ProcListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(ProcColumns().size());
}

QVariant ProcListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= size() || index.column() >= columnCount()) {
        return QVariant();
    }
    const ProcColumn& column = ProcColumns()[static_cast<std::size_t>(index.column())];
    const CallRecord& call = record(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return ProcCellText(column.field, call);
    case Qt::DecorationRole:
        return index.column() == 0 ? QVariant(RowImage(ProcRowImage(call.category))) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(ColumnAlignment(column));
    default:
        return QVariant();
    }
}

QVariant ProcListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return QVariant();
    }
    const ProcColumn& column = ProcColumns()[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) {
        return QString::fromUtf8(column.heading);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(ColumnAlignment(column));
    }
    return QVariant();
}

Qt::ItemFlags ProcListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (index.isValid() && index.row() < size() && Draggable(record(index.row()))) {
        result |= Qt::ItemIsDragEnabled;
    }
    return result;
}

QStringList ProcListModel::mimeTypes() const {
    return {QString::fromLatin1(kCallMimeType)};
}

QMimeData* ProcListModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty() || !indexes.front().isValid() || indexes.front().row() >= size()) {
        return nullptr;
    }
    const CallRecord& call = record(indexes.front().row());
    if (!Draggable(call)) {
        return nullptr;
    }
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kCallMimeType), QByteArray::number(call.callId));
    return data;
}

} // namespace talmor
