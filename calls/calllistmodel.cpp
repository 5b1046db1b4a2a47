#include "calls/calllistmodel.h"

#include "calls/waitingboard.h"

namespace talmor {

void CallListModel::setWaitingSource(WaitingSource source) {
    const bool added = !waiting_ && source;
    const bool removed = waiting_ && !source;
    if (added) {
        beginInsertColumns(QModelIndex(), paneColumns_, paneColumns_);
    } else if (removed) {
        beginRemoveColumns(QModelIndex(), paneColumns_, paneColumns_);
    }
    waiting_ = std::move(source);
    if (added) {
        endInsertColumns();
    } else if (removed) {
        endRemoveColumns();
    }
}

void CallListModel::waitingChanged() {
    if (waiting_ && size() > 0) {
        emit dataChanged(index(0, paneColumns_), index(size() - 1, paneColumns_),
                         {Qt::DisplayRole});
    }
}

int CallListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : paneColumns_ + (waiting_ ? 1 : 0);
}

QVariant CallListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() != waitingColumn() || index.row() >= size()) {
        return CallRowsModel::data(index, role);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignVCenter | Qt::AlignHCenter);
    }
    if (role != Qt::DisplayRole) {
        return QVariant();
    }
    const int64_t seconds = waiting_(record(index.row()).callId);
    return seconds < 0 ? QString() : QString::fromUtf8(WaitingText(seconds).c_str());
}

QVariant CallListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section == waitingColumn()) {
        return role == Qt::DisplayRole ? QVariant(QString::fromUtf8("等待时间")) : QVariant();
    }
    return CallRowsModel::headerData(section, orientation, role);
}

} // namespace talmor
