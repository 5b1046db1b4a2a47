#include "protocol/records.h"

#include "protocol/wirefields.h"

namespace talmor {

namespace {

const auto userFields = [](auto& r, auto& w) {
    w(r.nick)(r.typeCode)(r.age)(r.sex)(r.profileText)(r.pictureIndex);
    w(r.province)(r.city)(r.district)(r.street)(r.community);
    w(r.scopeKind)(r.scopeId)(r.extraText);
};

const auto contactFields = [](auto& e, auto& w) {
    w(e.id)(e.unusedText)(e.groupId)(e.nick)(e.profileText8)(e.typeCode)(e.sex);
};

const auto presenceFields = [](auto& e, auto& w) {
    w(e.id)(e.status)(e.altAddress)(e.altPort)(e.messagePort)(e.peerAddress);
};

const auto callFields = [](auto& r, auto& w, CallWireOrder order) {
    const bool hasCategory = order == CallWireOrder::TakenCall || order == CallWireOrder::NewCall;
    w(r.callId)(r.userId);
    if (hasCategory) {
        w(r.category);
    }
    w(r.userName);
    if (order == CallWireOrder::NewCall) {
        w(r.sex)(r.age);
    } else {
        w(r.age)(r.sex);
    }
    w(r.phone)(r.mobile)(r.province)(r.city)(r.district)(r.street)(r.community);
    w(r.address)(r.mapMark)(r.callTime)(r.orgFlag)(r.orgId)(r.unused1)(r.unused2);
    if (order != CallWireOrder::ListEntry) {
        w(r.source);
    }
    if (order == CallWireOrder::NewCall) {
        w(r.serviceObject);
    }
};

const auto groupFields = [](auto& e, auto& w) { w(e.id)(e.name); };

const auto summaryFields = [](auto& e, auto& w) {
    w(e.id)(e.value1)(e.text1)(e.text2)(e.value2)(e.value3)(e.text3)(e.text4)(e.text5)(e.value4);
};

const auto searchAFields = [](auto& e, auto& w) {
    w(e.id)(e.online)(e.nick)(e.name)(e.sex)(e.age)(e.address);
};

const auto searchBFields = [](auto& e, auto& w) {
    w(e.id)(e.online)(e.name)(e.phone)(e.manager)(e.managerMobile);
    w(e.province)(e.city)(e.district)(e.street)(e.community)(e.address)(e.serviceContent);
};

const auto searchCFields = [](auto& e, auto& w) {
    w(e.id)(e.value1)(e.text1)(e.text2)(e.text3)(e.value2)(e.text4)(e.text5);
};

const auto searchDFields = [](auto& e, auto& w) {
    w(e.id)(e.online)(e.name)(e.phone)(e.contactPerson)(e.sex)(e.mobile)(e.area);
};

const auto sellerFields = [](auto& e, auto& w) {
    w(e.id)(e.merchantName)(e.area)(e.contactPerson)(e.phone)(e.mobile);
};

} // namespace

UserRecord UserRecord::read(InPacket& in) {
    return readFields<UserRecord>(in, userFields);
}

void UserRecord::write(OutPacket& out) const {
    writeFields(out, *this, userFields);
}

ContactEntry ContactEntry::read(InPacket& in) {
    return readFields<ContactEntry>(in, contactFields);
}

void ContactEntry::write(OutPacket& out) const {
    writeFields(out, *this, contactFields);
}

PresenceEntry PresenceEntry::read(InPacket& in) {
    return readFields<PresenceEntry>(in, presenceFields);
}

void PresenceEntry::write(OutPacket& out) const {
    writeFields(out, *this, presenceFields);
}

CallRecord CallRecord::read(InPacket& in, CallWireOrder order) {
    return readFields<CallRecord>(in, callFields, order);
}

void CallRecord::write(OutPacket& out, CallWireOrder order) const {
    writeFields(out, *this, callFields, order);
}

GroupEntry GroupEntry::read(InPacket& in) {
    return readFields<GroupEntry>(in, groupFields);
}

void GroupEntry::write(OutPacket& out) const {
    writeFields(out, *this, groupFields);
}

UserSummaryEntry UserSummaryEntry::read(InPacket& in) {
    return readFields<UserSummaryEntry>(in, summaryFields);
}

void UserSummaryEntry::write(OutPacket& out) const {
    writeFields(out, *this, summaryFields);
}

SearchEntryA SearchEntryA::read(InPacket& in) {
    return readFields<SearchEntryA>(in, searchAFields);
}

void SearchEntryA::write(OutPacket& out) const {
    writeFields(out, *this, searchAFields);
}

SearchEntryB SearchEntryB::read(InPacket& in) {
    return readFields<SearchEntryB>(in, searchBFields);
}

void SearchEntryB::write(OutPacket& out) const {
    writeFields(out, *this, searchBFields);
}

SearchEntryC SearchEntryC::read(InPacket& in) {
    return readFields<SearchEntryC>(in, searchCFields);
}

void SearchEntryC::write(OutPacket& out) const {
    writeFields(out, *this, searchCFields);
}

SearchEntryD SearchEntryD::read(InPacket& in) {
    return readFields<SearchEntryD>(in, searchDFields);
}

void SearchEntryD::write(OutPacket& out) const {
    writeFields(out, *this, searchDFields);
}

SellerEntry SellerEntry::read(InPacket& in) {
    return readFields<SellerEntry>(in, sellerFields);
}

void SellerEntry::write(OutPacket& out) const {
    writeFields(out, *this, sellerFields);
}

ContactRecord ContactRecord::fromEntry(const ContactEntry& entry) {
    ContactRecord r;
    r.id = entry.id;
    r.nick = entry.nick;
    r.profileText[7] = entry.profileText8;
    r.typeCode = entry.typeCode;
    r.sex = entry.sex;
    return r;
}

} // namespace talmor
