#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "calls/callcolumns.h"
#include "protocol/records.h"

namespace talmor {

// The waiting calls of one pane in arrival order, one row per call. Rows are only appended,
// never sorted. A call already listed is not listed again: the server delivers a new call both
// on its own and in the next page of its list, and the operator must see it once.
class CallListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    CallListModel(ColumnWording wording, int rowImage, QObject* parent = nullptr);

    // Appends the calls not listed yet, in order, with one insertion; the number appended.
    int append(const std::vector<CallRecord>& calls);
    // Deletes every row of `callId`; the number deleted.
    int removeCall(uint32_t callId);
    void clear();
    bool holds(uint32_t callId) const { return ids_.count(callId) != 0; }
    const CallRecord& record(int row) const { return calls_[static_cast<std::size_t>(row)]; }
    int size() const { return static_cast<int>(calls_.size()); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const std::vector<CallColumn>& columns_;
    int rowImage_;
    std::vector<CallRecord> calls_;
    std::unordered_set<uint32_t> ids_;
};

} // namespace talmor
