#pragma once

#include "calls/callcolumns.h"
#include "calls/callrowsmodel.h"

namespace talmor {

// The waiting calls of one pane in arrival order, with the pane's columns.
class CallListModel : public CallRowsModel {
    Q_OBJECT
public:
    CallListModel(ColumnWording wording, int rowImage, QObject* parent = nullptr);

    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const std::vector<CallColumn>& columns_;
    int rowImage_;
};

} // namespace talmor
