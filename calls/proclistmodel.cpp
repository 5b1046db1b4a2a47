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

ProcListModel::ProcListModel(QObject* parent) : CallRowsModel(parent) {}

int ProcListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(ProcColumns().size());
}

QVariant ProcListModel::data(const QModelIndex& index, int role) const {
    if (!holdsCell(index, columnCount())) {
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
