#include "console/listenerrouting.h"

#include "protocol/clientlistener.h"
#include "protocol/platformclient.h"

namespace talmor {

void ListenerRouting::message(MessageRecord message) {
    if (routes_.messaging == nullptr) {
        ReportUnrouted("OnMessage", message.peerId);
        return;
    }
    routes_.messaging->onMessage(std::move(message));
}

void ListenerRouting::groups(const std::vector<GroupEntry>& groups) {
    if (routes_.contacts == nullptr) {
        ReportUnrouted("OnGroupList", static_cast<uint32_t>(groups.size()));
        return;
    }
    routes_.contacts->onGroupList(groups);
}

void ListenerRouting::contactsLoaded() {
    if (routes_.contacts == nullptr) {
        ReportUnrouted("OnContactList", static_cast<uint32_t>(listener_.contacts().size()));
        return;
    }
    routes_.contacts->onContactsLoaded();
}

void ListenerRouting::groupCreated(uint32_t groupId) {
    if (routes_.contacts == nullptr) {
        ReportUnrouted("OnGroupCreated", groupId);
        return;
    }
    routes_.contacts->onGroupCreated(groupId);
}

void ListenerRouting::groupNameChanged(uint32_t groupId, const std::string& name) {
    if (routes_.contacts == nullptr) {
        ReportUnrouted("OnGroupNameChanged", groupId);
        return;
    }
    routes_.contacts->onGroupNameChanged(groupId, name);
}

void ListenerRouting::groupDeleted(uint32_t groupId) {
    if (routes_.contacts == nullptr) {
        ReportUnrouted("OnGroupDeleted", groupId);
        return;
    }
    routes_.contacts->onGroupDeleted(groupId);
}

void ListenerRouting::userInfo(uint32_t userId) {
    if (routes_.contacts == nullptr) {
        ReportUnrouted("OnUserInfo", userId);
    } else {
        routes_.contacts->onUserInfo(userId);
    }
    if (routes_.messaging != nullptr) {
        routes_.messaging->onContactChanged(userId);
    }
}

void ListenerRouting::contactOnline(uint32_t userId, uint32_t status, bool fromList) {
    if (routes_.contacts == nullptr) {
        ReportUnrouted("OnContactOnline", userId);
    } else {
        routes_.contacts->onContactOnline(userId, status, fromList);
    }
    if (routes_.messaging != nullptr) {
        routes_.messaging->onContactChanged(userId);
    }
}

void ListenerRouting::contactOffline(uint32_t userId) {
    if (routes_.contacts == nullptr) {
        ReportUnrouted("OnContactOffline", userId);
    } else {
        routes_.contacts->onContactOffline(userId);
    }
    if (routes_.messaging != nullptr) {
        routes_.messaging->onContactChanged(userId);
    }
}

void ListenerRouting::contactStatus(uint32_t userId, uint32_t status) {
    if (routes_.contacts == nullptr) {
        ReportUnrouted("OnContactStatus", userId);
    } else {
        routes_.contacts->onContactStatus(userId, status);
    }
    if (routes_.messaging != nullptr) {
        routes_.messaging->onContactChanged(userId);
    }
}

void ListenerRouting::contactMoved(uint32_t groupId, uint32_t userId) {
    if (routes_.contacts == nullptr) {
        ReportUnrouted("OnContactMoved", userId);
        return;
    }
    routes_.contacts->onContactMoved(groupId, userId);
}

void ListenerRouting::contactDeleted(uint32_t userId) {
    if (routes_.contacts == nullptr) {
        ReportUnrouted("OnContactDeleted", userId);
    } else {
        routes_.contacts->onContactDeleted(userId);
    }
    if (routes_.messaging != nullptr) {
        routes_.messaging->onContactChanged(userId);
    }
}

void ListenerRouting::contactAdded(uint32_t userId) {
    if (routes_.contacts == nullptr) {
        ReportUnrouted("OnContactAdded", userId);
        return;
    }
    routes_.contacts->onContactAdded(userId);
}

void ListenerRouting::addRequest(uint32_t userId) {
    if (routes_.contacts == nullptr) {
        ReportUnrouted("OnAddRequest", userId);
        return;
    }
    routes_.contacts->onAddRequest(userId);
}

void ListenerRouting::allOffline() {
    if (routes_.contacts != nullptr) {
        routes_.contacts->onAllOffline();
    }
}

MessagingReceiver* ListenerRouting::peerReceiver(uint32_t peer, const char* operation) {
    if (listener_.contacts().find(peer) == nullptr) {
        return nullptr;
    }
    if (routes_.messaging == nullptr) {
        ReportUnrouted(operation, peer);
    }
    return routes_.messaging;
}

void ListenerRouting::searchResultA(std::vector<SearchEntryA> entries) {
    if (routes_.messaging == nullptr) {
        ReportUnrouted("OnSearchResultA", static_cast<uint32_t>(entries.size()));
        return;
    }
    routes_.messaging->onSearchResultA(std::move(entries), listener_.client().lastAckSeq());
}

void ListenerRouting::searchResultB(std::vector<SearchEntryB> entries) {
    if (routes_.messaging == nullptr) {
        ReportUnrouted("OnSearchResultB", static_cast<uint32_t>(entries.size()));
        return;
    }
    routes_.messaging->onSearchResultB(std::move(entries), listener_.client().lastAckSeq());
}

void ListenerRouting::searchResultD(std::vector<SearchEntryD> entries) {
    if (routes_.messaging == nullptr) {
        ReportUnrouted("OnSearchResultD", static_cast<uint32_t>(entries.size()));
        return;
    }
    routes_.messaging->onSearchResultD(std::move(entries), listener_.client().lastAckSeq());
}

void ListenerRouting::sellerResult(std::vector<SellerEntry> entries, uint32_t key) {
    if (routes_.calls == nullptr) {
        ReportUnrouted("OnSellerResult", key);
        return;
    }
    routes_.calls->onSellerResult(std::move(entries), key);
}

void ListenerRouting::callList(int list, std::vector<CallRecord> calls) {
    if (routes_.calls == nullptr) {
        if (!calls.empty()) {
            ReportUnrouted("call list", static_cast<uint32_t>(list));
        }
        return;
    }
    routes_.calls->onCallList(list, std::move(calls));
}

void ListenerRouting::newCall(CallRecord call) {
    if (routes_.calls == nullptr) {
        ReportUnrouted("OnNewCall", call.callId);
        return;
    }
    routes_.calls->onNewCall(std::move(call));
}

void ListenerRouting::callGone(uint32_t callId) {
    if (routes_.calls == nullptr) {
        ReportUnrouted("OnCallGone", callId);
        return;
    }
    routes_.calls->onCallGone(callId);
}

void ListenerRouting::callNoticeDone(uint32_t callId, bool second) {
    if (routes_.calls == nullptr) {
        ReportUnrouted(second ? "OnCallNoticeDone2" : "OnCallNoticeDone", callId);
        return;
    }
    routes_.calls->onCallNoticeDone(callId, second);
}

void ListenerRouting::callMemoSaved(uint32_t callId) {
    if (routes_.calls == nullptr) {
        ReportUnrouted("OnCallMemoSaved", callId);
        return;
    }
    routes_.calls->onCallMemoSaved(callId);
}

void ListenerRouting::familyContact(bool second, uint32_t key, const std::string& name,
                                    const std::string& phone) {
    if (routes_.calls == nullptr) {
        ReportUnrouted(second ? "OnFamilyContact2" : "OnFamilyContact", key);
        return;
    }
    routes_.calls->onFamilyContact(second, key, name, phone);
}

void ListenerRouting::listsRequested() {
    if (routes_.calls != nullptr) {
        routes_.calls->onListsRequested();
    }
}

void ListenerRouting::reminderDue() {
    if (routes_.calls == nullptr) {
        ReportUnrouted("reminder timer", 0);
        return;
    }
    routes_.calls->onReminderDue();
}

void ListenerRouting::playSound(int event) {
    if (routes_.calls == nullptr) {
        ReportUnrouted("sound event", static_cast<uint32_t>(event));
        return;
    }
    routes_.calls->playSoundEvent(event);
}

int ListenerRouting::rowCount(int code) const {
    return routes_.calls != nullptr ? routes_.calls->rowCount(code) : 0;
}

} // namespace talmor
