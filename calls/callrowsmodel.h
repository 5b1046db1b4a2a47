#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <deque>
#include <unordered_set>
#include <vector>

#include "calls/callcolumns.h"
#include "protocol/records.h"

namespace talmor {

// Calls in the order they came, one row per call: rows are only appended, never sorted, and
// a call already listed is not listed again (the server delivers a call both on its own and in
// the next part of its list, and the operator must see it once). The call panes and the
// processing list give it their columns and row images.
class CallRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    CallRowsModel(const std::vector<CallColumn>& columns, QObject* parent)
        : QAbstractTableModel(parent), columns_(columns) {}

    // Appends the calls not listed yet, in order, with one insertion; the number appended.
    int append(const std::vector<CallRecord>& calls);
    // Deletes every row of `callId`; the number deleted.
    int removeCall(uint32_t callId);
    void clear();
    bool holds(uint32_t callId) const { return ids_.count(callId) != 0; }
    const CallRecord& record(int row) const { return calls_[static_cast<std::size_t>(row)]; }
    int size() const { return static_cast<int>(calls_.size()); }
    // The row of `callId`, or -1.
    int rowOf(uint32_t callId) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    // The row image (rowimages.h) shown before the first cell of `call`.
    virtual int rowImage(const CallRecord& call) const = 0;

private:
    const std::vector<CallColumn>& columns_;
    // A storm lists tens of thousands of calls: a vector growing past them would move every
    // record at once, a stall of tens of milliseconds on the event loop.
    std::deque<CallRecord> calls_;
    std::unordered_set<uint32_t> ids_;
};

} // namespace talmor
