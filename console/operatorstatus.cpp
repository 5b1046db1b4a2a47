#include "console/operatorstatus.h"

#include "console/commandids.h"
#include "console/consoleenvironment.h"
#include "console/statustexts.h"
#include "console/talmormanagerdlg.h"
#include "kit/appfolders.h"
#include "kit/artwork.h"
#include "protocol/peersessions.h"
#include "storage/optionstore.h"
#include "storage/textlists.h"
#include "widgets/colorlabel.h"

namespace talmor {

void OperatorStatus::show() {
    window_.timers().stopTimer(kTrayBlinkTimer);
    window_.statusLabel().setText(QString::fromUtf8(StatusText(window_.own().status).c_str()));
    window_.statusLabel().repaint();
    window_.tray().SetIcon(art::StatusIcon(window_.own().status));
}

void OperatorStatus::change(uint32_t status) {
    if (window_.own().status == kStatusOffline) {
        window_.ConnectToServer(status);
        return;
    }
    if (window_.own().status != status) {
        window_.client().setStatus(status);
    } else if (status == kStatusInvisible && window_.peerSessions() != nullptr) {
        window_.peerSessions()->closeContactSessions(false);
    }
    show();
}

void OperatorStatus::setOnline() {
    change(kStatusOnline);
}

void OperatorStatus::setAway() {
    change(kStatusAway);
}

void OperatorStatus::setInvisible() {
    change(kStatusInvisible);
}

void OperatorStatus::setOffline() {
    if (window_.own().status != kStatusOffline) {
        window_.client().goOffline();
        window_.setReady(false);
        window_.routeAllOffline();
    } else if (window_.client().reconnecting()) {
        // Offline already after a lost link: the operator's choice ends the attempts to log in
        // again.
        window_.client().goOffline();
    }
    show();
}

void OperatorStatus::awayReply(int command) {
    if (command == cmd::kTrayAwayNoReply) {
        window_.options().setBit(storage::kOptionAutoReply, false);
        storage::SaveOptions(userFolder(), window_.options());
        setAway();
        return;
    }
    std::vector<std::string> replies;
    storage::LoadAutoReplies(userFolder(), replies);
    const auto index = static_cast<std::size_t>(command - cmd::kAwayReplyFirst);
    if (index >= replies.size()) {
        return;
    }
    window_.options().setBit(storage::kOptionAutoReply, true);
    window_.options().autoReplyText = replies[index];
    storage::SaveOptions(userFolder(), window_.options());
    setAway();
}

} // namespace talmor
