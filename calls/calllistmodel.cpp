#include "calls/calllistmodel.h"

#include "calls/rowimages.h"

namespace talmor {

CallListModel::CallListModel(ColumnWording wording, int rowImage, QObject* parent)
    : CallRowsModel(parent), columns_(CallColumns(wording)), rowImage_(rowImage) {}

int CallListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant CallListModel::data(const QModelIndex& index, int role) const {
    if (!holdsCell(index, columnCount())) {
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
