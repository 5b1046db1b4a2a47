#include "protocol/requestbuilder.h"

#include "protocol/commands.h"
#include "protocol/listcursors.h"

namespace talmor {

RequestBuilder::RequestBuilder(UdpSession& session, const OwnProfile& own)
    : session_(session), own_(own) {}

uint16_t RequestBuilder::sendEmpty(uint16_t command) {
    return send(begin(command));
}

uint16_t RequestBuilder::sendInt(uint16_t command, uint32_t value) {
    auto packet = begin(command);
    packet->writeInt(value);
    return send(std::move(packet));
}

uint16_t RequestBuilder::sendInts(uint16_t command, uint32_t first, uint32_t second) {
    auto packet = begin(command);
    packet->writeInt(first).writeInt(second);
    return send(std::move(packet));
}

uint16_t RequestBuilder::sendIntText(uint16_t command, uint32_t value, const std::string& text) {
    auto packet = begin(command);
    packet->writeInt(value).writeString(text);
    return send(std::move(packet));
}

uint16_t RequestBuilder::sendIntShort(uint16_t command, uint32_t value, uint16_t second) {
    auto packet = begin(command);
    packet->writeInt(value).writeShort(second);
    return send(std::move(packet));
}

uint16_t RequestBuilder::sendScoped(uint16_t command, bool withCode,
                                    std::optional<uint32_t> startId) {
    auto packet = begin(command);
    if (startId) {
        packet->writeInt(*startId);
    }
    ScopeBlock::of(own_.record, own_.scopeCode).write(*packet, withCode);
    return send(std::move(packet));
}

uint16_t RequestBuilder::sendTotal(uint16_t command) {
    // The totals take an empty area, a zero scope and two empty texts.
    auto packet = begin(command);
    for (int i = 0; i < 5; ++i) {
        packet->writeString("");
    }
    packet->writeInt(0).writeString("").writeString("");
    return send(std::move(packet));
}

uint16_t RequestBuilder::sendRelayData(uint16_t command, uint32_t peerId, const uint8_t* data,
                                       std::size_t length, std::optional<uint32_t> bytesSent) {
    const std::size_t limit = bytesSent ? kMaxFileRelayData : kMaxMediaRelayData;
    if (length > limit) {
        // A length field whose data was dropped would make the peer read garbage.
        return 0;
    }
    auto packet = begin(command);
    packet->writeInt(peerId).writeInt(static_cast<uint32_t>(length));
    if (bytesSent) {
        packet->writeInt(*bytesSent);
    }
    packet->writeBytes(data, length);
    return send(std::move(packet));
}

uint16_t RequestBuilder::getContacts() {
    return sendEmpty(CMD_GET_CONTACTS);
}

uint16_t RequestBuilder::sendStatus(uint32_t status) {
    return sendInt(CMD_SET_STATUS, status);
}

uint16_t RequestBuilder::getUserInfo(uint32_t userId) {
    return sendInt(CMD_GET_USER_INFO, userId);
}

uint16_t RequestBuilder::getOwnProfile() {
    return sendEmpty(CMD_GET_OWN_PROFILE);
}

uint16_t RequestBuilder::getGroups() {
    return sendEmpty(CMD_GET_GROUPS);
}

uint16_t RequestBuilder::getRights() {
    return sendEmpty(CMD_GET_RIGHTS);
}

uint16_t RequestBuilder::getScopeCode() {
    return sendInt(CMD_GET_SCOPE_CODE, own_.record.scopeId);
}

uint16_t RequestBuilder::getScopeNotice() {
    return sendInt(CMD_GET_SCOPE_NOTICE, own_.record.scopeId);
}

uint16_t RequestBuilder::getReminder() {
    return sendEmpty(CMD_GET_REMINDER);
}

uint16_t RequestBuilder::createGroup(const std::string& name) {
    auto packet = begin(CMD_CREATE_GROUP);
    packet->writeString(name);
    return send(std::move(packet));
}

uint16_t RequestBuilder::renameGroup(uint32_t groupId, const std::string& name) {
    return sendIntText(CMD_RENAME_GROUP, groupId, name);
}

uint16_t RequestBuilder::deleteGroup(uint32_t groupId) {
    return sendInt(CMD_DELETE_GROUP, groupId);
}

uint16_t RequestBuilder::moveNewContact(uint32_t contactId, uint32_t groupId) {
    return sendInts(CMD_MOVE_NEW_CONTACT, contactId, groupId);
}

uint16_t RequestBuilder::sendMessage(uint8_t kind, uint32_t peerId, const std::string& body) {
    auto packet = begin(CMD_SEND_MESSAGE);
    packet->writeByte(kind).writeInt(peerId).writeString(body);
    return send(std::move(packet));
}

uint16_t RequestBuilder::moveContact(uint32_t groupId, uint32_t contactId) {
    return sendInts(CMD_MOVE_CONTACT, groupId, contactId);
}

uint16_t RequestBuilder::deleteContact(uint32_t contactId) {
    return sendInt(CMD_DELETE_CONTACT, contactId);
}

uint16_t RequestBuilder::addContact(uint32_t userId, uint32_t groupId) {
    return sendInts(CMD_ADD_CONTACT, userId, groupId);
}

uint16_t RequestBuilder::fileOffer(uint32_t peerId, uint32_t fileSize,
                                   const std::string& fileName) {
    auto packet = begin(CMD_FILE_OFFER);
    packet->writeInt(peerId).writeShort(kOfferPort).writeInt(fileSize).writeString(fileName);
    return send(std::move(packet));
}

uint16_t RequestBuilder::fileAccept(uint32_t peerId, uint16_t port) {
    return sendIntShort(CMD_FILE_ACCEPT, peerId, port);
}

uint16_t RequestBuilder::fileCancel(uint32_t peerId) {
    return sendInt(CMD_FILE_CANCEL, peerId);
}

uint16_t RequestBuilder::fileRelayAsk(uint32_t peerId) {
    return sendInt(CMD_FILE_RELAY_ASK, peerId);
}

uint16_t RequestBuilder::fileRelayAnswer(uint32_t peerId, uint32_t bytesReceived) {
    return sendInts(CMD_FILE_RELAY_ANSWER, peerId, bytesReceived);
}

uint16_t RequestBuilder::fileRelayData(uint32_t peerId, const uint8_t* data, std::size_t length,
                                       uint32_t bytesSent) {
    return sendRelayData(CMD_FILE_RELAY_DATA, peerId, data, length, bytesSent);
}

uint16_t RequestBuilder::voiceOffer(uint32_t peerId) {
    return sendIntShort(CMD_VOICE_OFFER, peerId, kOfferPort);
}

uint16_t RequestBuilder::voiceAccept(uint32_t peerId, uint16_t port) {
    return sendIntShort(CMD_VOICE_ACCEPT, peerId, port);
}

uint16_t RequestBuilder::voiceCancel(uint32_t peerId) {
    return sendInt(CMD_VOICE_CANCEL, peerId);
}

uint16_t RequestBuilder::voiceRelayAsk(uint32_t peerId) {
    return sendInt(CMD_VOICE_RELAY_ASK, peerId);
}

uint16_t RequestBuilder::voiceRelayAnswer(uint32_t peerId) {
    return sendInt(CMD_VOICE_RELAY_ANSWER, peerId);
}

uint16_t RequestBuilder::voiceRelayData(uint32_t peerId, const uint8_t* data, std::size_t length) {
    return sendRelayData(CMD_VOICE_RELAY_DATA, peerId, data, length, std::nullopt);
}

uint16_t RequestBuilder::videoOffer(uint32_t peerId) {
    return sendIntShort(CMD_VIDEO_OFFER, peerId, kOfferPort);
}

uint16_t RequestBuilder::videoAccept(uint32_t peerId, uint16_t port) {
    return sendIntShort(CMD_VIDEO_ACCEPT, peerId, port);
}

uint16_t RequestBuilder::videoCancel(uint32_t peerId) {
    return sendInt(CMD_VIDEO_CANCEL, peerId);
}

uint16_t RequestBuilder::videoRelayAsk(uint32_t peerId) {
    return sendInt(CMD_VIDEO_RELAY_ASK, peerId);
}

uint16_t RequestBuilder::videoRelayAnswer(uint32_t peerId) {
    return sendInt(CMD_VIDEO_RELAY_ANSWER, peerId);
}

uint16_t RequestBuilder::videoRelayData(uint32_t peerId, const uint8_t* data, std::size_t length) {
    return sendRelayData(CMD_VIDEO_RELAY_DATA, peerId, data, length, std::nullopt);
}

uint16_t RequestBuilder::getCallList(int list, uint32_t startId) {
    const uint16_t command = ListCursors::requestOf(list);
    if (list == ListCursors::kTaken) {
        return sendInt(command, startId);
    }
    return sendScoped(command, true, startId);
}

uint16_t RequestBuilder::getHelpCalls(uint32_t startId) {
    return getCallList(ListCursors::kHelp, startId);
}

uint16_t RequestBuilder::getSosCalls(uint32_t startId) {
    return getCallList(ListCursors::kSos, startId);
}

uint16_t RequestBuilder::getCategoryCalls(int pane, uint32_t startId) {
    if (pane < 0 || pane >= kCategoryPaneCount) {
        return 0;
    }
    return getCallList(ListCursors::kFirstCategory + pane, startId);
}

uint16_t RequestBuilder::getServiceCalls(uint32_t startId) {
    return getCallList(ListCursors::kService, startId);
}

uint16_t RequestBuilder::getTakenCalls(uint32_t startId) {
    return getCallList(ListCursors::kTaken, startId);
}

void RequestBuilder::tell(uint16_t command, uint32_t callId, const std::string& detail) {
    if (callObserver_ != nullptr) {
        callObserver_->onCallRequest(command, callId, detail);
    }
}

uint16_t RequestBuilder::takeCall(uint32_t callId) {
    tell(CMD_TAKE_CALL, callId, {});
    return sendInt(CMD_TAKE_CALL, callId);
}

uint16_t RequestBuilder::giveUpCall(uint32_t callId) {
    tell(CMD_GIVE_UP_CALL, callId, {});
    return sendInt(CMD_GIVE_UP_CALL, callId);
}

uint16_t RequestBuilder::misdial(uint32_t callId) {
    tell(CMD_MISDIAL, callId, {});
    return sendInt(CMD_MISDIAL, callId);
}

uint16_t RequestBuilder::blacklist(uint32_t callId, const std::string& phone) {
    tell(CMD_BLACKLIST, callId, phone);
    return sendIntText(CMD_BLACKLIST, callId, phone);
}

uint16_t RequestBuilder::callReport(uint32_t callId, const std::string& report) {
    tell(CMD_CALL_REPORT, callId, report);
    return sendIntText(CMD_CALL_REPORT, callId, report);
}

uint16_t RequestBuilder::serviceNotice2(const ServiceNotice& notice) {
    tell(CMD_SERVICE_NOTICE_2, notice.callId,
         notice.merchantNick + " (" + std::to_string(notice.merchantId) + ")");
    return sendBody(CMD_SERVICE_NOTICE_2, notice);
}

uint16_t RequestBuilder::getFamily(uint32_t callId, uint32_t userId) {
    return sendInts(CMD_GET_FAMILY, callId, userId);
}

uint16_t RequestBuilder::getFamily2(uint32_t callId, uint32_t userId) {
    return sendInts(CMD_GET_FAMILY_2, callId, userId);
}

uint16_t RequestBuilder::sosSms(uint32_t callId, const std::string& phone,
                                const std::string& message) {
    auto packet = begin(CMD_SOS_SMS);
    packet->writeInt(callId).writeString(phone).writeString(message);
    tell(CMD_SOS_SMS, callId, phone);
    return send(std::move(packet));
}

uint16_t RequestBuilder::searchUsers(const UserSearch& search) {
    return sendBody(CMD_SEARCH_USERS, search);
}

uint16_t RequestBuilder::searchProviders(const ProviderSearch& search) {
    return sendBody(CMD_SEARCH_PROVIDERS, search);
}

uint16_t RequestBuilder::searchColleagues(const ColleagueSearch& search) {
    return sendBody(CMD_SEARCH_COLLEAGUES, search);
}

uint16_t RequestBuilder::sellerQuery(const SellerQuery& query) {
    return sendBody(CMD_SELLER_QUERY, query);
}

uint16_t RequestBuilder::getCount1() {
    return sendScoped(CMD_GET_COUNT_1, false, std::nullopt);
}

uint16_t RequestBuilder::getCount2() {
    return sendScoped(CMD_GET_COUNT_2, true, std::nullopt);
}

uint16_t RequestBuilder::getTotal1() {
    return sendTotal(CMD_GET_TOTAL_1);
}

uint16_t RequestBuilder::getTotal2() {
    return sendTotal(CMD_GET_TOTAL_2);
}

} // namespace talmor
