#include "protocol/peeradmission.h"

#include "protocol/peersession.h"

namespace talmor {

bool contactOnlineAt(const ContactRecord& contact, uint32_t address) {
    return address != 0 && contact.status != kStatusOffline &&
           (address == contact.peerAddress || address == contact.altAddress);
}

bool connectionAdmitted(const ContactStore& contacts, const std::string& kind,
                        uint32_t acceptedPeer, uint32_t address) {
    if (kind != kMessageKind) {
        const ContactRecord* peer = acceptedPeer != 0 ? contacts.find(acceptedPeer) : nullptr;
        return peer != nullptr && contactOnlineAt(*peer, address);
    }
    for (const auto& contact : contacts.records()) {
        if (contactOnlineAt(*contact, address)) {
            return true;
        }
    }
    return false;
}

bool helloAdmitted(const ContactStore& contacts, const std::string& kind, uint32_t acceptedPeer,
                   uint32_t sender, uint32_t address) {
    const ContactRecord* contact = contacts.find(sender);
    if (contact == nullptr || !contactOnlineAt(*contact, address)) {
        return false;
    }
    return kind == kMessageKind || (acceptedPeer != 0 && sender == acceptedPeer);
}

} // namespace talmor
