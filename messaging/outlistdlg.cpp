#include "messaging/outlistdlg.h"

#include <QMenu>
#include <QVBoxLayout>

#include "kit/consolehost.h"
#include "kit/consoleui.h"
#include "kit/ecpbarplacement.h"
#include "messaging/contactactions.h"
#include "messaging/contactlist.h"
#include "messaging/contactmenu.h"
#include "messaging/contactrowmodel.h"
#include "messaging/contacttexts.h"
#include "messaging/outlistctrl.h"
#include "protocol/ownprofile.h"
#include "protocol/platformclient.h"
#include "protocol/registeredwindow.h"

namespace talmor {

COutListDlg::COutListDlg(ConsoleHost& window, ContactList& list)
    : RegisteredWindow(window.windows(), kWindowType, 0, 0), window_(window), list_(list),
      rows_(new ContactRowModel(list, this)), ctrl_(new COutListCtrl(this)),
      runMenu_([](QMenu& menu, const QPoint& at) { return CommandOf(menu.exec(at)); }) {
    setObjectName(QStringLiteral("contactPane"));
    ctrl_->setModel(rows_);
    // Rows that re-sort (presence moves members within their group), come or go would leave
    // the quick-action bar beside another contact: it goes, and the next mouse move places it.
    const auto hideBar = [this] { window_.HideEcpBarOf(EcpBarPlacement::kContact); };
    connect(rows_, &QAbstractItemModel::dataChanged, this, hideBar);
    connect(rows_, &QAbstractItemModel::rowsRemoved, this, hideBar);
    connect(rows_, &QAbstractItemModel::rowsInserted, this, hideBar);
    connect(rows_, &QAbstractItemModel::rowsMoved, this, hideBar);
    connect(rows_, &QAbstractItemModel::modelReset, this, hideBar);
    connect(rows_, &QAbstractItemModel::layoutChanged, this, hideBar);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ctrl_);
    list_.setRedraw(
        [this](ContactList::Change change, uint32_t groupId) { rows_->refresh(change, groupId); });
    connect(ctrl_, &COutListCtrl::rowClicked, this, &COutListDlg::clicked);
    connect(ctrl_, &COutListCtrl::rowDoubleClicked, this, &COutListDlg::doubleClicked);
    connect(ctrl_, &COutListCtrl::rowRightClicked, this, &COutListDlg::rightClicked);
    connect(ctrl_, &COutListCtrl::rowHovered, this, &COutListDlg::hovered);
    connect(ctrl_, &COutListCtrl::callDropped, this, &COutListDlg::callDropped);
}

COutListDlg::~COutListDlg() {
    list_.setRedraw({});
}

int COutListDlg::selectedGroup() const {
    return rows_->selectedGroup();
}

void COutListDlg::clicked(int row) {
    rows_->select(row);
}

void COutListDlg::doubleClicked(int row) {
    if (rows_->isHeader(row)) {
        list_.toggleExpanded(rows_->groupAt(row));
    } else if (const uint32_t contact = rows_->contactAt(row)) {
        openChat(contact, MessagingReceiver::ChatStart::Open);
    }
}

void COutListDlg::rightClicked(int row, const QPoint& at) {
    const uint32_t contact = rows_->contactAt(row);
    if (contact == 0 || operatorOffline()) {
        return;
    }
    rows_->select(row);
    const ContactRecord* record = list_.findRecord(contact);
    const bool offline = record == nullptr || record->status == kStatusOffline;
    std::unique_ptr<QMenu> menu = BuildContactMenu(list_, offline);
    const int command = runMenu_(*menu, at);
    if (command != 0) {
        runCommand(command, contact);
    }
}

void COutListDlg::runCommand(int id, uint32_t contactId) {
    if (list_.findRecord(contactId) == nullptr) {
        return;
    }
    using Start = MessagingReceiver::ChatStart;
    switch (id) {
    case contactcmd::kChat:
        openChat(contactId, Start::Open);
        return;
    case contactcmd::kSendFile:
        openChat(contactId, Start::SendFile);
        return;
    case contactcmd::kVoice:
        openChat(contactId, Start::Voice);
        return;
    case contactcmd::kVideo:
        openChat(contactId, Start::Video);
        return;
    case contactcmd::kDelete:
        if (window_.ui().warning(this, QString::fromUtf8(text::kDeleteContactQuestion))) {
            window_.client().deleteContact(contactId);
        }
        return;
    case contactcmd::kProfile:
        showProfile(contactId);
        return;
    default:
        break;
    }
    if (id >= contactcmd::kMoveFirst && id <= contactcmd::kMoveLast) {
        const uint32_t group = list_.groupIdAt(id - contactcmd::kMoveFirst);
        if (group != 0) {
            window_.client().moveContact(group, contactId);
        }
    }
}

void COutListDlg::hovered(int row, const QRect& rowOnScreen) {
    const uint32_t contact = rows_->contactAt(row);
    const UserRecord* record = contact != 0 ? window_.FindUserRecord(contact) : nullptr;
    const std::optional<ContactBar> bar = record != nullptr ? QuickBarFor(*record) : std::nullopt;
    if (!bar) {
        window_.ShowEcpBar(QRect(), EcpBarPlacement::kHide, false, {}, 0, {}, 0, {});
        return;
    }
    window_.ShowEcpBar(rowOnScreen, EcpBarPlacement::kContact, true, bar->phone, 0, bar->email, 0,
                       {});
}

void COutListDlg::callDropped(uint32_t callId, int row) {
    const uint32_t contact = rows_->contactAt(row);
    if (contact == 0 || callId == 0) {
        return;
    }
    if (HandlingReceiver* handling = window_.routes().handling) {
        handling->onCallDroppedOnContact(callId, contact);
    } else {
        ReportUnrouted("call dropped on a contact", callId);
    }
}

void COutListDlg::openChat(uint32_t contactId, MessagingReceiver::ChatStart start) {
    if (operatorOffline()) {
        return;
    }
    if (MessagingReceiver* messaging = window_.routes().messaging) {
        messaging->openChat(contactId, start);
    } else {
        ReportUnrouted("chat window", contactId);
    }
}

void COutListDlg::showProfile(uint32_t contactId) {
    const ContactRecord* record = list_.findRecord(contactId);
    if (record == nullptr ||
        window_.windows().findWindow(ConsoleHost::kMainWindowType, 0, 0) == nullptr) {
        return;
    }
    const std::optional<QUrl> page =
        ProfilePageUrl(window_.backOfficeBase(), record->typeCode, window_.operatorId(), contactId,
                       window_.installationId());
    if (page) {
        window_.ShowInWorkPane(*page);
    }
}

bool COutListDlg::operatorOffline() const {
    return window_.own().status == kStatusOffline;
}

} // namespace talmor
