#pragma once

#include "calls/callrowsmodel.h"

namespace talmor {

// The waiting calls of one pane in arrival order, with the pane's columns.
class CallListModel : public CallRowsModel {
public:
    CallListModel(ColumnWording wording, int rowImage, QObject* parent = nullptr)
        : CallRowsModel(CallColumns(wording), parent), rowImage_(rowImage) {}

protected:
    int rowImage(const CallRecord&) const override { return rowImage_; }

private:
    int rowImage_;
};

} // namespace talmor
