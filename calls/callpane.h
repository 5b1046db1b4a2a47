#pragma once

#include <QWidget>

#include <cstdint>
#include <vector>

#include "calls/calllistview.h"
#include "calls/callpanetable.h"
#include "calls/panemenu.h"
#include "protocol/records.h"

class QMenu;
class QTableView;

namespace talmor {

class CallListModel;
class ConsoleHost;

// One of the 27 call panes (its configuration says which): the waiting calls of one kind in
// arrival order. A double-click takes a call to this operator's processing list; the help and
// SOS panes have a context menu of back-office pages about the caller.
class CCallPane : public QWidget {
    Q_OBJECT
public:
    CCallPane(const CallPaneConfig& config, ConsoleHost& window, QWidget* parent = nullptr);

    const CallPaneConfig& config() const { return config_; }
    CallListModel& model() { return *model_; }
    QTableView* view() const { return view_; }
    int rowCount() const;

    // Drops every row and asks for the pane's list from its start.
    void Refresh();
    // Appends the calls not listed yet and brings the newest into view.
    void AddCalls(const std::vector<CallRecord>& calls);
    void RemoveCall(uint32_t callId);
    // Drops every row (the lists are asked for again).
    void clearRows();

    // Takes the selected call: the handling right of the help and SOS panes, then the call
    // moves to the processing list and the server is told (a double-click).
    void takeSelectedCall();
    // Menu 418 for the selected row; none outside the help and SOS panes or without a
    // selection. The caller owns it.
    QMenu* contextMenu();
    // A command of menu 418 on the selected row: its page in the work pane.
    void runMenuCommand(int command);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int selectedRow() const;
    bool mainWindowRegistered() const;

    const CallPaneConfig& config_;
    ConsoleHost& window_;
    CallListModel* model_;
    QTableView* view_;
    NewestRowScroller scroller_;
};

} // namespace talmor
