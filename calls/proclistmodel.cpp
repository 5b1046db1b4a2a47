#include "calls/proclistmodel.h"

#include <QMimeData>

#include "calls/proclistcolumns.h"
#include "kit/categories.h"
#include "kit/eventroutes.h"

namespace talmor {

namespace {

bool Draggable(const CallRecord& call) {
    return call.category == static_cast<uint32_t>(kHelpCategory);
}

} // namespace

ProcListModel::ProcListModel(QObject* parent) : CallRowsModel(ProcColumns(), parent) {}

int ProcListModel::rowImage(const CallRecord& call) const {
    return ProcRowImage(call.category);
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
