#pragma once

#include <QDialog>

#include <cstdint>
#include <vector>

#include "protocol/records.h"
#include "protocol/registeredwindow.h"

class QComboBox;
class QTableView;

namespace talmor {

class ConsoleHost;
class ResultListModel;

// "就近搜索商户": merchants of a chosen type and sub-type that serve the area of a call's caller.
// Each search empties the list; the merchants arrive one reply at a time. A double-click opens
// the merchant's page in the work pane. One per call: window type 38 keyed by the call id.
class CSellerSearchDlg : public QDialog, public RegisteredWindow {
    Q_OBJECT
public:
    static constexpr uint32_t kWindowType = 38;

    // Opens the search for `call` unless one is open for it; the new window or none.
    static CSellerSearchDlg* Open(ConsoleHost& window, const CallRecord& call);

    CSellerSearchDlg(ConsoleHost& window, const CallRecord& call);

    // "开始搜索".
    void search();
    void OnSellerResult(const std::vector<SellerEntry>& entries);
    // A double-click on row `row`.
    void openMerchant(int row);

    // The caller's detail shown in template control `id` (1002 ... 1141).
    QString detailText(int id) const;
    QComboBox* typeBox() const { return types_; }
    QComboBox* subTypeBox() const { return subTypes_; }
    QTableView* list() const { return list_; }
    ResultListModel& rows() const { return *rows_; }

private:
    void fillSubTypes(int type);

    ConsoleHost& window_;
    CallRecord call_;
    QComboBox* types_;
    QComboBox* subTypes_;
    ResultListModel* rows_;
    QTableView* list_;
};

} // namespace talmor
