#include "kit/resultlistmodel.h"

#include "widgets/listlook.h"

namespace talmor {

void ResultListModel::show(const std::vector<ResultRow>& rows) {
    beginResetModel();
    rows_ = rows;
    endResetModel();
}

void ResultListModel::append(const ResultRow& row) {
    beginInsertRows(QModelIndex(), size(), size());
    rows_.push_back(row);
    endInsertRows();
}

void ResultListModel::clear() {
    show({});
}

uint32_t ResultListModel::idAt(int row) const {
    return row >= 0 && row < size() ? rows_[static_cast<std::size_t>(row)].id : 0;
}

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : size();
}

int ResultListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= size() || index.column() >= columnCount()) {
        return QVariant();
    }
    const ResultRow& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return index.column() < row.texts.size() ? row.texts[index.column()] : QString();
    case Qt::DecorationRole:
        if (picture_ != nullptr && index.column() == 0) {
            return picture_(row.online);
        }
        return QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (columns_[static_cast<std::size_t>(index.column())].centred
                                        ? Qt::AlignHCenter
                                        : Qt::AlignLeft));
    default:
        return QVariant();
    }
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
        return QVariant();
    }
    return QString::fromUtf8(columns_[static_cast<std::size_t>(section)].heading);
}

void SetUpResultList(QTableView& view, const std::vector<ResultColumn>& columns) {
    std::vector<int> widths;
    for (const ResultColumn& column : columns) {
        widths.push_back(column.width);
    }
    SetUpListLook(view, widths);
}

} // namespace talmor
