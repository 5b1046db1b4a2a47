#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "protocol/records.h"

namespace talmor {

// Calls in the order they came, one row per call: rows are only appended, never sorted, and
// a call already listed is not listed again (the server delivers a call both on its own and in
// the next part of its list, and the operator must see it once). The lists of the call panes
// and the processing list add their columns.
class CallRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CallRowsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

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

protected:
    // Whether `index` names a cell of a listed call in one of `columns` columns.
    bool holdsCell(const QModelIndex& index, int columns) const;

private:
    std::vector<CallRecord> calls_;
    std::unordered_set<uint32_t> ids_;
};

} // namespace talmor
