#include "protocol/queryrecords.h"

#include "protocol/wirefields.h"

namespace talmor {

namespace {

const auto scopeFields = [](auto& s, auto& w, bool withCode) {
    w(s.province)(s.city)(s.district)(s.street)(s.community)(s.scopeKind)(s.scopeId);
    if (withCode) {
        w(s.scopeCode);
    }
};

const auto userSearchFields = [](auto& q, auto& w) {
    w(q.account)(q.email)(q.nick)(q.name)(q.sex)(q.ageBand);
    w(q.province)(q.city)(q.district)(q.street)(q.community)(q.cursor);
};

const auto providerSearchFields = [](auto& q, auto& w) {
    w(q.account)(q.email)(q.name)(q.province)(q.city)(q.district)(q.street)(q.community);
    w(q.phone)(q.cursor);
};

const auto colleagueSearchFields = [](auto& q, auto& w) {
    w(q.account)(q.name)(q.province)(q.city)(q.district)(q.street)(q.community);
    w(q.onlineOnly)(q.cursor);
};

const auto sellerQueryFields = [](auto& q, auto& w) {
    w(q.windowKey)(q.type)(q.subType)(q.province)(q.city)(q.district)(q.street)(q.community);
};

const auto serviceNoticeFields = [](auto& n, auto& w) {
    w(n.callId)(n.merchantId)(n.smsDetails)(n.merchantNick)(n.description);
};

} // namespace

ScopeBlock ScopeBlock::of(const UserRecord& profile, const std::string& scopeCode) {
    return ScopeBlock{profile.province,  profile.city,      profile.district, profile.street,
                      profile.community, profile.scopeKind, profile.scopeId,  scopeCode};
}

ScopeBlock ScopeBlock::read(InPacket& in, bool withCode) {
    return readFields<ScopeBlock>(in, scopeFields, withCode);
}

void ScopeBlock::write(OutPacket& out, bool withCode) const {
    writeFields(out, *this, scopeFields, withCode);
}

UserSearch UserSearch::read(InPacket& in) {
    return readFields<UserSearch>(in, userSearchFields);
}

void UserSearch::write(OutPacket& out) const {
    writeFields(out, *this, userSearchFields);
}

ProviderSearch ProviderSearch::read(InPacket& in) {
    return readFields<ProviderSearch>(in, providerSearchFields);
}

void ProviderSearch::write(OutPacket& out) const {
    writeFields(out, *this, providerSearchFields);
}

ColleagueSearch ColleagueSearch::read(InPacket& in) {
    return readFields<ColleagueSearch>(in, colleagueSearchFields);
}

void ColleagueSearch::write(OutPacket& out) const {
    writeFields(out, *this, colleagueSearchFields);
}

SellerQuery SellerQuery::read(InPacket& in) {
    return readFields<SellerQuery>(in, sellerQueryFields);
}

void SellerQuery::write(OutPacket& out) const {
    writeFields(out, *this, sellerQueryFields);
}

ServiceNotice ServiceNotice::read(InPacket& in) {
    return readFields<ServiceNotice>(in, serviceNoticeFields);
}

void ServiceNotice::write(OutPacket& out) const {
    writeFields(out, *this, serviceNoticeFields);
}

} // namespace talmor
