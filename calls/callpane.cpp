#include "calls/callpane.h"

#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QTableView>

#include "calls/calllistmodel.h"
#include "calls/calltexts.h"
#include "kit/backofficeurl.h"
#include "kit/consolehost.h"
#include "kit/consoleui.h"
#include "protocol/platformclient.h"
#include "protocol/registeredwindow.h"
#include "protocol/sessionrecords.h"

namespace talmor {

namespace {

const QColor kPaneBackground(236, 233, 216);
constexpr int kHelpHandlingRight = 7;
constexpr int kSosHandlingRight = 8;
constexpr int kWaitingColumnWidth = 80;

bool HasMenu(int code) {
    return code == kHelpCategory || code == kSosCategory;
}

} // namespace

CCallPane::CCallPane(const CallPaneConfig& config, ConsoleHost& window, QWidget* parent)
    : QWidget(parent), config_(config), window_(window),
      model_(new CallListModel(config.wording, config.rowImage, this)), view_(new QTableView(this)),
      scroller_(*view_) {
    setObjectName(QString::fromUtf8(config.paneName));
    view_->setModel(model_);
    SetUpCallListView(*view_, CallColumns(config.wording));
    view_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The waiting time goes first: after a dozen columns it would sit off the right edge of a
    // narrow screen, where nobody scrolls to look.
    connect(model_, &QAbstractItemModel::columnsInserted, this, [this] {
        const int waiting = model_->waitingColumn();
        if (waiting >= 0) {
            QHeaderView* header = view_->horizontalHeader();
            header->moveSection(header->visualIndex(waiting), 0);
            header->resizeSection(waiting, kWaitingColumnWidth);
        }
    });
    connect(view_, &QAbstractItemView::doubleClicked, this, [this] { takeSelectedCall(); });
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = contextMenu();
        if (menu == nullptr) {
            return;
        }
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(view_->viewport()->mapToGlobal(at));
    });
}

int CCallPane::rowCount() const {
    return model_->size();
}

void CCallPane::Refresh() {
    clearRows();
    window_.client().cursors().set(config_.list, 0);
    window_.client().getCallList(config_.list, 0);
}

void CCallPane::clearRows() {
    model_->clear();
}

void CCallPane::AddCalls(const std::vector<CallRecord>& calls) {
    if (model_->append(calls) > 0) {
        scroller_.request();
    }
}

void CCallPane::RemoveCall(uint32_t callId) {
    model_->removeCall(callId);
}

int CCallPane::selectedRow() const {
    const QModelIndexList rows = view_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

bool CCallPane::mainWindowRegistered() const {
    return window_.windows().findWindow(ConsoleHost::kMainWindowType, 0, 0) != nullptr;
}

void CCallPane::takeSelectedCall() {
    const SeatRights& rights = window_.seatRights();
    if (config_.code == kHelpCategory && !rights.granted(kHelpHandlingRight)) {
        window_.ui().information(&window_.mainWidget(),
                                 QString::fromUtf8(text::kNoHelpHandlingRight));
        return;
    }
    if (config_.code == kSosCategory && !rights.granted(kSosHandlingRight)) {
        window_.ui().information(&window_.mainWidget(),
                                 QString::fromUtf8(text::kNoSosHandlingRight));
        return;
    }
    const int row = selectedRow();
    if (row < 0 || !mainWindowRegistered()) {
        return;
    }
    CallRecord call = model_->record(row);
    call.category = static_cast<uint32_t>(config_.code);
    if (HandlingReceiver* handling = window_.routes().handling) {
        handling->onCallTaken(call);
    }
    model_->removeCall(call.callId);
    window_.client().takeCall(call.callId);
}

QMenu* CCallPane::contextMenu() {
    if (!HasMenu(config_.code) || selectedRow() < 0) {
        return nullptr;
    }
    auto* menu = new QMenu(QStringLiteral("temp"), this);
    for (const auto& [command, caption] : PaneMenuItems()) {
        const int id = command;
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { runMenuCommand(id); });
    }
    return menu;
}

void CCallPane::runMenuCommand(int command) {
    const int row = selectedRow();
    if (row < 0 || !mainWindowRegistered()) {
        return;
    }
    const CallerPage page = PaneMenuPage(command, window_.operatorId(), model_->record(row));
    if (page.path.empty()) {
        return;
    }
    std::vector<QueryItem> query = page.query;
    query.emplace_back("randnum", window_.installationId());
    window_.ShowInWorkPane(PageUrl(window_.backOfficeBase(), page.path, query));
}

void CCallPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kPaneBackground);
}

void CCallPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    view_->setGeometry(2, 2, qMax(0, width() - 4), qMax(0, height() - 5));
}

} // namespace talmor
