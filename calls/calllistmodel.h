#pragma once

#include <cstdint>
#include <functional>

#include "calls/callrowsmodel.h"

namespace talmor {

// The waiting calls of one pane in arrival order, with the pane's columns and, once a waiting
// source is set, a last column with the time each call has waited.
class CallListModel : public CallRowsModel {
public:
    // Seconds `callId` has waited, or -1 when unknown.
    using WaitingSource = std::function<int64_t(uint32_t callId)>;

    CallListModel(ColumnWording wording, int rowImage, QObject* parent = nullptr)
        : CallRowsModel(CallColumns(wording), parent), rowImage_(rowImage),
          paneColumns_(static_cast<int>(CallColumns(wording).size())) {}

    void setWaitingSource(WaitingSource source);
    // The waiting times moved on: the last column is drawn again.
    void waitingChanged();
    // The waiting column, or -1 without a waiting source.
    int waitingColumn() const { return waiting_ ? paneColumns_ : -1; }

    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    int rowImage(const CallRecord&) const override { return rowImage_; }

private:
    int rowImage_;
    int paneColumns_;
    WaitingSource waiting_;
};

} // namespace talmor
