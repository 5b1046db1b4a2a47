#pragma once

#include <QWidget>

#include <cstdint>
#include <vector>

#include "calls/calllistview.h"
#include "protocol/records.h"

class QMenu;
class QTableView;

namespace talmor {

class ConsoleHost;
class ProcListModel;

// The processing list: the calls this operator has taken and not closed, in the bottom band of
// the main window. A right-click opens the handling menu of the row's category; a double-click
// opens the caller's page; a help call can be dragged onto a merchant of the contact pane; the
// quick-action bar follows the mouse over the rows.
class CProcDlg : public QWidget {
    Q_OBJECT
public:
    explicit CProcDlg(ConsoleHost& window, QWidget* parent = nullptr);

    // Drops every row and asks for the whole list again.
    void Refresh();
    // Drops every row (the login asks for the list itself).
    void clearRows();
    void AddCalls(const std::vector<CallRecord>& calls);
    void AddTakenCall(const CallRecord& call);
    void RemoveCall(uint32_t callId);

    ProcListModel& model() { return *model_; }
    QTableView* view() const { return view_; }
    // The record of the selected row, or none.
    const CallRecord* selectedRecord() const;
    // The handling menu of the selected row (deleted when it closes), or none.
    QMenu* contextMenu();
    // Runs a handling command on the selected row; nothing without one.
    void runCommand(int command);
    // The quick-action bar for the row under `viewportPos` of the list (a mouse move).
    void hoverAt(const QPoint& viewportPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ConsoleHost& window_;
    ProcListModel* model_;
    QTableView* view_;
    QPixmap header_;
    QPixmap band_;
    NewestRowScroller scroller_;
};

} // namespace talmor
