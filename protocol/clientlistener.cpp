#include "protocol/clientlistener.h"

#include <unordered_set>

#include "protocol/messagebody.h"
#include "protocol/peersessions.h"
#include "protocol/platformclient.h"

namespace talmor {

LoginVerdict loginVerdict(uint16_t result, uint32_t requiredVersion) {
    if (result != 0) {
        return LoginVerdict::WrongPassword;
    }
    if (requiredVersion != kClientVersion) {
        return LoginVerdict::NeedsUpgrade;
    }
    return LoginVerdict::Proceed;
}

ClientListener::ClientListener(SocketLayer& sockets, HostResolver& resolver, TimerHost& timers,
                               const Clock& clock, Random& random) {
    random.seed(static_cast<uint32_t>(clock.now()));
    client_ = std::make_unique<PlatformClient>(*this, sockets, resolver, timers, clock, random);
}

ClientListener::~ClientListener() = default;

const UserRecord* ClientListener::FindUserRecord(uint32_t id) const {
    if (id == 0) {
        return &own_.record;
    }
    return contacts_.find(id);
}

void ClientListener::OnContactList(std::vector<ContactEntry> contacts) {
    // The first datagram of a login's list: records of contacts it no longer lists must not
    // pass as contacts any more.
    if (!client_->loginComplete()) {
        contacts_.beginListing();
    }
    for (const ContactEntry& entry : contacts) {
        contacts_.add(ContactRecord::fromEntry(entry));
    }
    // A long contact list comes in several datagrams: each asks for the profiles of its own
    // contacts, so that every profile is asked for once, not once per datagram.
    std::unordered_set<uint32_t> asked;
    for (const ContactEntry& entry : contacts) {
        if (contacts_.find(entry.id) != nullptr && asked.insert(entry.id).second) {
            client_->getUserInfo(entry.id);
        }
    }
    client_->completeLogin();
}

void ClientListener::OnLoginReply(const std::string& pw1, const std::string& pw2,
                                  const std::string& pw3, const std::string& pw4, uint16_t result,
                                  uint32_t, uint32_t requiredVersion) {
    if (loginVerdict(result, requiredVersion) != LoginVerdict::Proceed) {
        client_->rejectLogin();
        return;
    }
    multiLoginPasswords_ = {pw1, pw2, pw3, pw4};
    client_->proceedAfterLogin();
}

void ClientListener::OnGroupList(std::vector<GroupEntry>) {
    client_->getContacts();
}

void ClientListener::OnUserInfo(const UserRecord& record) {
    ContactRecord* contact = contacts_.find(record.id);
    if (contact == nullptr) {
        return;
    }
    contact->nick = record.nick;
    contact->typeCode = record.typeCode;
    contact->age = record.age;
    contact->sex = record.sex;
    contact->profileText = record.profileText;
    contact->pictureIndex = record.pictureIndex;
    contact->extraText = record.extraText;
}

void ClientListener::OnOwnProfile() {
    // Only an operator account may go on; the window tells any other why it cannot.
    if (own_.record.typeCode != "S") {
        return;
    }
    if (own_.record.scopeKind == 1 && own_.record.scopeId > 0) {
        client_->getScopeCode();
    } else {
        client_->getGroups();
    }
}

void ClientListener::OnContactOffline(uint32_t id) {
    if (ContactRecord* contact = contacts_.find(id)) {
        contact->status = kStatusOffline;
        contact->altAddress = 0;
        contact->altPort = 0;
        contact->messagePort = 0;
    }
    if (peerSessions_ != nullptr) {
        peerSessions_->closeSessionsWith(id);
    }
}

void ClientListener::storePresence(uint32_t id, uint32_t status, uint32_t altAddress,
                                   uint16_t altPort, uint16_t messagePort, uint32_t peerAddress) {
    if (ContactRecord* contact = contacts_.find(id)) {
        contact->status = status;
        contact->altAddress = altAddress;
        contact->altPort = altPort;
        contact->messagePort = messagePort;
        contact->peerAddress = peerAddress;
    }
    if (peerSessions_ != nullptr) {
        peerSessions_->contactOnline(id);
    }
}

void ClientListener::OnRequestTimedOut(uint32_t number) {
    if (RegisteredWindow* window = windows_.findWaiting(number)) {
        window->onTimedOut(number);
    }
}

void ClientListener::OnRequestAcked(uint32_t number) {
    if (RegisteredWindow* window = windows_.findWaiting(number)) {
        window->onAcked(number);
    }
}

void ClientListener::OnPeerMessageAcked(uint32_t peer, uint32_t number) {
    if (RegisteredWindow* window = windows_.findWindow(kChatWindowType, peer, 0)) {
        window->onPeerAcked(number);
    }
}

void ClientListener::deliverMessage(uint8_t kind, uint32_t senderId, uint32_t sendTime,
                                    const std::string& body, bool viaServer) {
    OnMessage(buildReceivedMessage(kind, senderId, sendTime, body, viaServer));
}

} // namespace talmor
