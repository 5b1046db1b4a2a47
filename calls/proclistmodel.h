#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "protocol/records.h"

namespace talmor {

// The calls this operator has taken and not closed, in the order they came, one row per call.
// Rows are only appended, never sorted. A call already listed is not listed again: the call a
// pane hands over also comes back in the next part of the server's list of taken calls.
// Help-call rows can be dragged (onto a merchant): their data is the call id.
class ProcListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ProcListModel(QObject* parent = nullptr);

    // Appends the calls not listed yet, in order; the number appended.
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
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    // The call of the first index, when it is a help call; none otherwise.
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    std::vector<CallRecord> calls_;
    std::unordered_set<uint32_t> ids_;
};

} // namespace talmor
