#include "console/backofficecommands.h"

#include "console/backofficepages.h"
#include "console/calltabstrip.h"
#include "console/commandids.h"
#include "console/ecpbar.h"
#include "console/ecpdlg.h"
#include "console/mainmenu.h"
#include "console/myworkdlg.h"
#include "console/paneslot.h"
#include "console/talmormanagerdlg.h"
#include "kit/backofficeurl.h"
#include "kit/consoleui.h"

namespace talmor {

namespace {
constexpr uint32_t kFamilySmsWindowType = 39;
} // namespace

BackOfficeCommands::BackOfficeCommands(CTalmorManagerDlg& window, bool withBrowser)
    : QObject(&window), window_(window), withBrowser_(withBrowser),
      workPane_(new CMyWorkDlg(withBrowser)), ecpBar_(new CECPBar(&window)) {
    window_.tabStrip().workPane()->setPane(workPane_);
    connect(ecpBar_, &CECPBar::pressed, this, &BackOfficeCommands::ecpPressed);
}

void BackOfficeCommands::installMenu(MainMenu& menu) {
    for (const BackOfficePage& page : BackOfficePages()) {
        if (page.popup != nullptr) {
            menu.addItem(QString::fromUtf8(page.popup), page.command,
                         QString::fromUtf8(page.caption));
        }
        if (page.rule) {
            menu.rules().add(page.command, *page.rule);
        }
    }
}

bool BackOfficeCommands::run(int command) {
    switch (command) {
    case cmd::kButtonBack:
        window_.tabStrip().selectWorkTab(window_.seatRights());
        workPane_->back();
        return true;
    case cmd::kButtonForward:
        window_.tabStrip().selectWorkTab(window_.seatRights());
        workPane_->forward();
        return true;
    case cmd::kButtonRefresh:
        window_.tabStrip().selectWorkTab(window_.seatRights());
        workPane_->refresh();
        return true;
    default:
        break;
    }
    const BackOfficePage* page = FindBackOfficePage(command);
    if (page == nullptr) {
        return false;
    }
    open(*page);
    return true;
}

void BackOfficeCommands::open(const BackOfficePage& page) {
    // A disabled item cannot be chosen, whichever way the command comes.
    if (const auto state = window_.mainMenu().rules().apply(page.command, window_.menuState());
        state && !state->enabled) {
        return;
    }
    if (page.runRight >= 0 &&
        !window_.seatRights().granted(static_cast<std::size_t>(page.runRight))) {
        return;
    }
    const QUrl url = BuildPageUrl(page, window_.deployment(), window_.backOfficeBase(),
                                  window_.operatorId(), window_.installationId());
    if (page.target == PageTarget::WorkPane) {
        showInWorkPane(url);
    } else {
        window_.ui().openInBrowser(url);
    }
}

void BackOfficeCommands::showInWorkPane(const QUrl& url) {
    window_.tabStrip().selectWorkTab(window_.seatRights());
    workPane_->navigate(url);
}

void BackOfficeCommands::showEcpBar(const QRect& row, int kind, bool show,
                                    const EcpBarValues& values) {
    const EcpBarPlacement placement = EcpBarPlacement::Place(row, kind, show, values);
    ecpKind_ = placement.visible ? kind : EcpBarPlacement::kHide;
    ecpBar_->apply(placement);
}

void BackOfficeCommands::hideEcpBarOf(int kind) {
    if (ecpKind_ == kind && kind != EcpBarPlacement::kHide) {
        showEcpBar(QRect(), EcpBarPlacement::kHide, false, EcpBarValues());
    }
}

void BackOfficeCommands::ecpPressed(int button, const EcpBarValues& values) {
    switch (button) {
    case kEcpCallButton:
        if (!values.phone.empty()) {
            auto* dialog = new CECPDlg(withBrowser_, &window_);
            dialog->navigate(CallOutUrl(window_.deployment(), window_.operatorId(),
                                        window_.installationId(), values.phone, values.callId));
            dialog->show();
        }
        break;
    case kEcpSmsButton:
        if (values.userId != 0 && values.callId != 0 &&
            window_.findWindow(kFamilySmsWindowType, values.callId, 0) == nullptr) {
            if (HandlingReceiver* handling = window_.routes().handling) {
                handling->openFamilySms(values.callId, values.userId, values.name, values.phone);
            } else {
                ReportUnrouted("family SMS", values.callId);
            }
        }
        break;
    case kEcpMailButton:
        if (!values.email.empty()) {
            window_.ui().openInBrowser(MailToUrl(values.email));
        }
        break;
    default:
        break;
    }
}

} // namespace talmor
