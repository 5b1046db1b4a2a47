#pragma once

#include "calls/callrowsmodel.h"

namespace talmor {

// The calls this operator has taken and not closed, in the order they came (the call a pane
// hands over also comes back in the next part of the server's list of taken calls, and is
// listed once). Help-call rows can be dragged (onto a merchant): their data is the call id.
class ProcListModel : public CallRowsModel {
    Q_OBJECT
public:
    explicit ProcListModel(QObject* parent = nullptr);

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    // The call of the first index, when it is a help call; none otherwise.
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

protected:
    int rowImage(const CallRecord& call) const override;
};

} // namespace talmor
