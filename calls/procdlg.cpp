#include "calls/procdlg.h"

#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTableView>

#include "calls/handlingcommands.h"
#include "calls/handlingmenu.h"
#include "calls/handlingpictures.h"
#include "calls/proclistcolumns.h"
#include "calls/proclistmodel.h"
#include "calls/proclistview.h"
#include "kit/consolehost.h"
#include "kit/ecpbarplacement.h"
#include "protocol/platformclient.h"
#include "protocol/sessionrecords.h"

namespace talmor {

namespace {

const QColor kPaneBackground(236, 233, 216);
constexpr int kListTop = 30;

} // namespace

CProcDlg::CProcDlg(ConsoleHost& window, QWidget* parent)
    : QWidget(parent), window_(window), model_(new ProcListModel(this)),
      view_(new ProcListView(this)), header_(HandlingPicture(QStringLiteral("procheader"))),
      band_(HandlingPicture(QStringLiteral("procband"))), scroller_(*view_) {
    setObjectName(QStringLiteral("CProcDlg"));
    view_->setModel(model_);
    SetUpCallListView(*view_, ProcColumns());
    // Help calls are dragged onto a merchant of the contact pane, which takes the drop.
    view_->setDragEnabled(true);
    view_->setDragDropMode(QAbstractItemView::DragOnly);
    view_->setDefaultDropAction(Qt::CopyAction);
    view_->viewport()->setMouseTracking(true);
    view_->viewport()->installEventFilter(this);
    view_->move(2, 25);
    // A finished call's row goes, and its quick-action bar with it.
    const auto hideBar = [this] { window_.HideEcpBarOf(EcpBarPlacement::kProcessRow); };
    connect(model_, &QAbstractItemModel::rowsRemoved, this, hideBar);
    connect(model_, &QAbstractItemModel::modelReset, this, hideBar);
    connect(model_, &QAbstractItemModel::layoutChanged, this, hideBar);
    connect(view_, &QAbstractItemView::doubleClicked, this, [this] { runCommand(kCmdCallerInfo); });
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (QMenu* menu = contextMenu()) {
            menu->popup(view_->viewport()->mapToGlobal(at));
        }
    });
}

void CProcDlg::Refresh() {
    clearRows();
    window_.client().cursors().set(ListCursors::kTaken, 0);
    window_.client().getTakenCalls(0);
}

void CProcDlg::clearRows() {
    model_->clear();
}

void CProcDlg::AddCalls(const std::vector<CallRecord>& calls) {
    if (model_->append(calls) > 0) {
        scroller_.request();
    }
}

void CProcDlg::AddTakenCall(const CallRecord& call) {
    AddCalls({call});
}

void CProcDlg::RemoveCall(uint32_t callId) {
    model_->removeCall(callId);
}

const CallRecord* CProcDlg::selectedRecord() const {
    const QModelIndexList rows = view_->selectionModel()->selectedRows();
    if (rows.isEmpty() || rows.front().row() >= model_->size()) {
        return nullptr;
    }
    return &model_->record(rows.front().row());
}

QMenu* CProcDlg::contextMenu() {
    const CallRecord* call = selectedRecord();
    if (call == nullptr) {
        return nullptr;
    }
    const HandlingMenu handling = HandlingMenuFor(*call, window_.seatRights());
    auto* menu = new QMenu(QString::fromLatin1(handling.name), this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const HandlingMenuItem& item : handling.items) {
        if (item.command == 0) {
            menu->addSeparator();
            continue;
        }
        const int command = item.command;
        QAction* action = menu->addAction(QString::fromUtf8(item.caption));
        action->setData(command);
        action->setEnabled(item.enabled);
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    }
    return menu;
}

void CProcDlg::runCommand(int command) {
    const CallRecord* selected = selectedRecord();
    if (selected == nullptr) {
        return;
    }
    // A copy: giving the call up deletes its row.
    const CallRecord call = *selected;
    RunHandlingCommand(window_, *this, command, call);
}

void CProcDlg::hoverAt(const QPoint& viewportPos) {
    const QModelIndex index = view_->indexAt(viewportPos);
    if (!index.isValid() || index.row() >= model_->size()) {
        return;
    }
    const CallRecord& call = model_->record(index.row());
    if (call.phone.empty()) {
        window_.ShowEcpBar(QRect(), EcpBarPlacement::kHide, false, {}, 0, {}, 0, {});
        return;
    }
    // The whole row, not only the hovered cell.
    const QRect cell = view_->visualRect(index);
    const QRect row(view_->viewport()->mapToGlobal(QPoint(0, cell.y())),
                    QSize(view_->viewport()->width(), cell.height()));
    window_.ShowEcpBar(row, EcpBarPlacement::kProcessRow, true, call.phone, call.userId, {},
                       call.callId, call.userName);
}

bool CProcDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_->viewport() && event->type() == QEvent::MouseMove) {
        const auto* move = static_cast<QMouseEvent*>(event);
        // While a row is dragged the bar stays where it is.
        if (move->buttons() == Qt::NoButton) {
            hoverAt(move->position().toPoint());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CProcDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kPaneBackground);
    painter.drawPixmap(2, 0, header_);
    const int bandWidth = width() - header_.width() - 4;
    if (bandWidth > 0 && !band_.isNull()) {
        painter.drawPixmap(QRect(2 + header_.width(), 0, bandWidth, band_.height()), band_);
    }
}

void CProcDlg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    view_->setGeometry(2, kListTop, qMax(0, width() - 4), qMax(0, height() - kListTop));
    update();
}

} // namespace talmor
