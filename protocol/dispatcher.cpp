#include "protocol/dispatcher.h"

#include "protocol/clientlistener.h"
#include "protocol/commands.h"
#include "protocol/platformclient.h"
#include "protocol/records.h"

namespace talmor {

namespace {

CallWireOrder orderOfList(int list) {
    switch (list) {
    case ListCursors::kHelp:
    case ListCursors::kSos:
        return CallWireOrder::ListEntryWithSource;
    case ListCursors::kTaken:
        return CallWireOrder::TakenCall;
    default:
        return CallWireOrder::ListEntry;
    }
}

// Hands the list on, moves the list's cursor to its last call and asks for what follows.
void handleCallList(PlatformClient& client, InPacket& in, int list) {
    const CallWireOrder order = orderOfList(list);
    std::vector<CallRecord> calls =
        readList<CallRecord>(in, [order](InPacket& p) { return CallRecord::read(p, order); });
    const uint32_t cursor = calls.empty() ? client.cursors().at(list) : calls.back().callId;
    ClientListener& listener = client.listener();
    switch (list) {
    case ListCursors::kHelp:
        listener.OnHelpCalls(std::move(calls));
        break;
    case ListCursors::kSos:
        listener.OnSosCalls(std::move(calls));
        break;
    case ListCursors::kService:
        listener.OnServiceCalls(std::move(calls));
        break;
    case ListCursors::kTaken:
        listener.OnTakenCalls(std::move(calls));
        break;
    default:
        listener.OnCategoryCalls(list - ListCursors::kFirstCategory, std::move(calls));
        break;
    }
    client.cursors().set(list, cursor);
    client.getCallList(list, cursor);
}

void handleOnline(ClientListener& listener, const PresenceEntry& e, bool fromList) {
    listener.OnContactOnline(e.id, e.status, e.altAddress, e.altPort, e.messagePort, e.peerAddress,
                             fromList);
}

// The rest of the body, taken raw.
struct RawData {
    const uint8_t* bytes;
    uint32_t length;
};

RawData rest(const InPacket& in) {
    std::size_t count = 0;
    const uint8_t* bytes = in.remaining(count);
    return {bytes, static_cast<uint32_t>(count)};
}

// Every case reads its fields into locals first: the order in which a call's arguments are
// evaluated is unspecified, and the reads must happen in wire order.
bool handlePresenceAndGroups(PlatformClient& client, InPacket& in) {
    ClientListener& listener = client.listener();
    switch (in.command()) {
    case CMD_CONTACT_ONLINE:
        handleOnline(listener, PresenceEntry::read(in), false);
        return true;
    case CMD_CONTACT_OFFLINE:
        listener.OnContactOffline(in.u32());
        return true;
    case CMD_ONLINE_CONTACTS:
        for (const PresenceEntry& entry : readList<PresenceEntry>(in)) {
            handleOnline(listener, entry, true);
        }
        return true;
    case CMD_CONTACT_STATUS: {
        const uint32_t id = in.u32();
        const uint32_t status = in.u32();
        listener.OnContactStatus(id, status);
        return true;
    }
    case CMD_GROUP_CREATED:
        listener.OnGroupCreated(in.u32());
        return true;
    case CMD_GROUP_NAME_CHANGED: {
        const uint32_t id = in.u32();
        const std::string name = in.text();
        listener.OnGroupNameChanged(id, name);
        return true;
    }
    case CMD_GROUP_DELETED:
        listener.OnGroupDeleted(in.u32());
        return true;
    case CMD_SERVER_MESSAGE: {
        const ServerMessage m = ServerMessage::read(in);
        listener.deliverMessage(m.kind, m.senderId, m.sendTime, m.body, true);
        return true;
    }
    case CMD_USER_SUMMARY_LIST:
        listener.OnUserSummaryList(readList<UserSummaryEntry>(in));
        return true;
    case CMD_CONTACT_MOVED: {
        const uint32_t group = in.u32();
        const uint32_t user = in.u32();
        listener.OnContactMoved(group, user);
        return true;
    }
    case CMD_CONTACT_DELETED:
        listener.OnContactDeleted(in.u32());
        return true;
    case CMD_CONTACT_ADDED:
        listener.OnContactAdded(in.u32());
        return true;
    case CMD_ADD_REQUEST:
        listener.OnAddRequest(in.u32());
        return true;
    case CMD_NOTICE_525:
        listener.OnNotice525(in.u32());
        return true;
    case CMD_NOTICE_526:
        listener.OnNotice526(in.u32());
        return true;
    case CMD_NOTICE_527:
        listener.OnNotice527(in.u32());
        return true;
    default:
        return false;
    }
}

bool handleFile(PlatformClient& client, InPacket& in) {
    ClientListener& listener = client.listener();
    const uint32_t peer = in.u32();
    switch (in.command()) {
    case incoming::CMD_FILE_OFFER: {
        in.u16(); // the offer's port is a constant
        const uint32_t size = in.u32();
        const std::string name = in.text();
        listener.OnFileOffer(peer, size, name);
        return true;
    }
    case incoming::CMD_FILE_ACCEPTED:
        listener.OnFileAccepted(peer, in.u16());
        return true;
    case incoming::CMD_FILE_CANCELLED:
        listener.OnFileCancelled(peer);
        return true;
    case incoming::CMD_FILE_RELAY_ASK:
        client.fileRelayAnswer(peer, 0);
        return true;
    case incoming::CMD_FILE_RELAY_READY:
        listener.OnFileRelayReady(peer, in.u32(), true);
        return true;
    case incoming::CMD_FILE_RELAY_DATA: {
        const uint32_t sent = in.u32();
        const RawData data = rest(in);
        listener.OnFileRelayData(peer, data.bytes, data.length, sent);
        return true;
    }
    default:
        return false;
    }
}

// Voice and video negotiate and relay alike; each family is six consecutive codes.
struct MediaFamily {
    uint16_t offerCode;
    void (ClientListener::*offer)(uint32_t);
    void (ClientListener::*accepted)(uint32_t, uint16_t);
    void (ClientListener::*cancelled)(uint32_t);
    void (ClientListener::*channelReady)(uint32_t, bool);
    void (ClientListener::*channelStarted)(uint32_t, bool);
    void (ClientListener::*data)(uint32_t, const uint8_t*, uint32_t);
    uint16_t (RequestBuilder::*relayAnswer)(uint32_t);
    // Relayed data that arrives after newer datagrams is dropped, not handed on late.
    bool dropLateData;
};

const MediaFamily kVoice{incoming::CMD_VOICE_OFFER,
                         &ClientListener::OnVoiceOffer,
                         &ClientListener::OnVoiceAccepted,
                         &ClientListener::OnVoiceCancelled,
                         &ClientListener::OnVoiceChannelReady,
                         &ClientListener::OnVoiceChannelStarted,
                         &ClientListener::OnVoiceData,
                         &RequestBuilder::voiceRelayAnswer,
                         true};

const MediaFamily kVideo{incoming::CMD_VIDEO_OFFER,
                         &ClientListener::OnVideoOffer,
                         &ClientListener::OnVideoAccepted,
                         &ClientListener::OnVideoCancelled,
                         &ClientListener::OnVideoChannelReady,
                         &ClientListener::OnVideoChannelStarted,
                         &ClientListener::OnVideoData,
                         &RequestBuilder::videoRelayAnswer,
                         false};

bool handleMedia(PlatformClient& client, InPacket& in, const MediaFamily& family) {
    ClientListener& listener = client.listener();
    const uint32_t peer = in.u32();
    switch (in.command() - family.offerCode) {
    case 0:
        (listener.*family.offer)(peer);
        return true;
    case 1:
        (listener.*family.accepted)(peer, in.u16());
        return true;
    case 2:
        (listener.*family.cancelled)(peer);
        return true;
    case 3: // the peer asks for the relay: answer, then the channel is ready
        (client.*family.relayAnswer)(peer);
        (listener.*family.channelReady)(peer, true);
        return true;
    case 4:
        (listener.*family.channelStarted)(peer, true);
        return true;
    case 5: {
        // Speech retransmitted seconds later would only be heard out of place.
        if (family.dropLateData && !client.udpSession().isNewest(in.seq())) {
            return true;
        }
        const RawData data = rest(in);
        (listener.*family.data)(peer, data.bytes, data.length);
        return true;
    }
    default:
        return false;
    }
}

bool handleSession(PlatformClient& client, InPacket& in) {
    ClientListener& listener = client.listener();
    switch (in.command()) {
    case CMD_CONTACT_LIST:
        listener.OnContactList(readList<ContactEntry>(in));
        return true;
    case CMD_LOGIN_REPLY: {
        const LoginReply r = LoginReply::read(in);
        listener.OnLoginReply(r.passwords[0], r.passwords[1], r.passwords[2], r.passwords[3],
                              r.result, r.accountValue, r.requiredVersion);
        return true;
    }
    case CMD_LOGGED_IN_ELSEWHERE:
        client.stopKeepAlive();
        listener.OnLoggedInElsewhere();
        return true;
    case CMD_USER_INFO: {
        const uint32_t id = in.u32();
        UserRecord record = UserRecord::read(in);
        record.id = id;
        listener.OnUserInfo(record);
        return true;
    }
    case CMD_OWN_PROFILE: {
        OwnProfile& own = listener.own();
        own.record = UserRecord::read(in);
        own.record.id = own.operatorId;
        own.profileFlag = in.u8();
        listener.OnOwnProfile();
        return true;
    }
    case CMD_GROUP_LIST:
        listener.OnGroupList(readList<GroupEntry>(in));
        return true;
    default:
        return false;
    }
}

bool handleFamily(ClientListener& listener, InPacket& in) {
    const uint32_t key = in.u32();
    const std::string name = in.text();
    const std::string phone = in.text();
    if (in.command() == CMD_FAMILY_CONTACT) {
        listener.OnFamilyContact(key, name, phone);
    } else {
        listener.OnFamilyContact2(key, name, phone);
    }
    return true;
}

bool handleCalls(PlatformClient& client, InPacket& in) {
    ClientListener& listener = client.listener();
    switch (in.command()) {
    case CMD_SEAT_RIGHTS:
        listener.seatRights() = SeatRights::read(in);
        client.getOwnProfile();
        return true;
    case CMD_NEW_CALL:
        listener.OnNewCall(CallRecord::read(in, CallWireOrder::NewCall));
        return true;
    case CMD_CALL_NOTICE_DONE:
    case CMD_CALL_NOTICE_DONE_2:
        listener.OnCallNoticeDone(in.u32());
        return true;
    case CMD_SEARCH_RESULT_A:
        listener.OnSearchResultA(readList<SearchEntryA>(in));
        return true;
    case CMD_SEARCH_RESULT_C:
        listener.OnSearchResultC(readList<SearchEntryC>(in));
        return true;
    case CMD_PROVIDER_COUNT:
        listener.OnProviderCount(in.u32());
        return true;
    case CMD_CUSTOMER_COUNT:
        listener.OnCustomerCount(in.u32());
        return true;
    case CMD_SEARCH_RESULT_D:
        listener.OnSearchResultD(readList<SearchEntryD>(in));
        return true;
    case CMD_CALL_MEMO_SAVED:
        listener.OnCallMemoSaved(in.u32());
        return true;
    case CMD_SEARCH_RESULT_B:
        listener.OnSearchResultB(readList<SearchEntryB>(in));
        return true;
    case CMD_SELLER_RESULT: {
        const uint32_t key = in.u32();
        listener.OnSellerResult({SellerEntry::read(in)}, key);
        return true;
    }
    case CMD_SCOPE_NOTICE:
        listener.OnScopeNotice(in.text());
        return true;
    case CMD_FAMILY_CONTACT:
    case CMD_FAMILY_CONTACT_2:
        return handleFamily(listener, in);
    case CMD_REMINDER_SCHEDULE: {
        const uint32_t enabled = in.u32();
        const uint32_t minutes = in.u32();
        listener.OnReminderSchedule(enabled, minutes);
        return true;
    }
    case CMD_SCOPE_CODE:
        listener.own().scopeCode = in.text();
        client.getGroups();
        return true;
    case CMD_HELP_TOTAL:
        listener.OnHelpTotal(in.u32());
        return true;
    case CMD_SOS_TOTAL:
        listener.OnSosTotal(in.u32());
        return true;
    case CMD_CALL_GONE:
        listener.OnCallGone(in.u32());
        return false;
    default:
        return false;
    }
}

} // namespace

bool dispatchCommand(PlatformClient& client, InPacket& in) {
    const uint16_t code = in.command();
    const int list = ListCursors::listOfReply(code);
    if (list >= 0) {
        handleCallList(client, in, list);
        return true;
    }
    // One family per range of codes, each a switch: a constant-time selection.
    if (code == CMD_KEEP_ALIVE) {
        client.udpSession().keepAliveAnswered();
        return false;
    }
    if (code < CMD_CONTACT_ONLINE) {
        return handleSession(client, in);
    }
    if (code < incoming::CMD_FILE_OFFER) {
        return handlePresenceAndGroups(client, in);
    }
    if (code <= incoming::CMD_FILE_RELAY_DATA) {
        return handleFile(client, in);
    }
    if (code <= incoming::CMD_VOICE_RELAY_DATA) {
        return handleMedia(client, in, kVoice);
    }
    if (code <= incoming::CMD_VIDEO_RELAY_DATA) {
        return handleMedia(client, in, kVideo);
    }
    return handleCalls(client, in);
}

} // namespace talmor
