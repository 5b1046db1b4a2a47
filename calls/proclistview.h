#pragma once

#include <QTableView>

namespace talmor {

// The table of the processing list. A dragged help call shows its row image under the cursor,
// held at its centre (8, 8).
class ProcListView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
};

} // namespace talmor
