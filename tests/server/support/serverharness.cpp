#include "support/serverharness.h"

#include "protocol/commands.h"
#include "protocol/sessionrecords.h"

namespace talmor::server::testing {

namespace {
constexpr uint32_t kLoopback = 0x7F000001;

Account person(uint32_t id, AccountKind kind, const std::string& community) {
    Account account;
    account.kind = kind;
    account.profile.id = id;
    account.profile.nick = "user" + std::to_string(id);
    account.profile.typeCode = kind == AccountKind::Operator ? "S" : "U";
    account.profile.province = "P";
    account.profile.city = "C";
    account.profile.community = community;
    if (kind == AccountKind::Operator) {
        account.password = "pass" + std::to_string(id);
        account.rights.rights.fill("Y");
    }
    return account;
}
} // namespace

std::vector<Sent> Recorder::to(const Endpoint& endpoint, uint16_t command) const {
    std::vector<Sent> found;
    for (const Sent& one : sent) {
        if (one.to == endpoint && one.command() == command) {
            found.push_back(one);
        }
    }
    return found;
}

FakeConsole::FakeConsole(PlatformServer& server, Endpoint endpoint, uint32_t operatorId,
                         std::string password, uint32_t sessionId)
    : server_(server), endpoint_(endpoint), operatorId_(operatorId), password_(std::move(password)),
      sessionId_(sessionId) {
    cipher_.setKeyFromPassword(password_);
}

uint16_t FakeConsole::login(uint32_t status, const std::string& password) {
    OutPacket packet = makeDatagram(operatorId_, sessionId_, CMD_LOGIN, ++nextSeq_);
    LoginRequest request;
    request.password = password.empty() ? password_ : password;
    request.status = status;
    request.localAddress = kLoopback;
    request.messagePort = 7001;
    request.installationId = "ABCDEFGHIJ0123456789";
    request.write(packet);
    Bytes bytes(packet.data(), packet.data() + packet.length());
    sentRequests_.emplace_back(packet.seq, bytes);
    raw(bytes);
    return packet.seq;
}

uint16_t FakeConsole::request(uint16_t command, const std::function<void(OutPacket&)>& body) {
    OutPacket packet = makeDatagram(operatorId_, sessionId_, command, ++nextSeq_);
    body(packet);
    encipherRequest(packet, cipher_, static_cast<uint8_t>(nextSeq_ * 37));
    Bytes bytes(packet.data(), packet.data() + packet.length());
    sentRequests_.emplace_back(packet.seq, bytes);
    raw(bytes);
    return packet.seq;
}

void FakeConsole::resend(uint16_t seq) {
    for (const auto& [number, bytes] : sentRequests_) {
        if (number == seq) {
            raw(bytes);
        }
    }
}

void FakeConsole::ack(uint16_t seq) {
    OutPacket packet = makeDatagram(operatorId_, sessionId_, CMD_ACK, seq);
    raw(Bytes(packet.data(), packet.data() + packet.length()));
}

void FakeConsole::ackAll(const Recorder& recorder) {
    std::vector<uint16_t> numbers;
    for (const Sent& one : recorder.sent) {
        if (one.to == endpoint_ && one.sessionId() == sessionId_ && one.seq() != 0 &&
            one.command() != CMD_KEEP_ALIVE && one.command() != CMD_CALL_GONE) {
            numbers.push_back(one.seq());
        }
    }
    for (uint16_t seq : numbers) {
        ack(seq);
    }
}

void FakeConsole::raw(const Bytes& bytes) {
    server_.receive(bytes.data(), bytes.size(), endpoint_, nowMs);
}

void FakeConsole::loginToReady(Recorder& recorder) {
    login();
    request(CMD_GET_RIGHTS);
    request(CMD_GET_OWN_PROFILE);
    request(CMD_GET_GROUPS);
    request(CMD_GET_CONTACTS);
    ackAll(recorder);
}

ServerHarness::ServerHarness() {
    settings.maxSends = 3;
    settings.resendIntervalMs = 2000;
    settings.callPageSize = 20;
    Account first = person(1024, AccountKind::Operator, "A");
    Account second = person(1025, AccountKind::Operator, "A");
    Account third = person(1026, AccountKind::Operator, "B");
    first.groups = {GroupEntry{1, "friends"}, GroupEntry{2, "others"}};
    first.contactOrder = {1025, 2001};
    first.groupOf = {{1025, 1}, {2001, 2}};
    second.groups = {GroupEntry{3, "friends"}};
    second.contactOrder = {1024};
    second.groupOf = {{1024, 3}};
    directory.add(first);
    directory.add(second);
    directory.add(third);
    Account subscriber = person(2001, AccountKind::Subscriber, "A");
    subscriber.family = {FamilyContact{"son", "13600000001"}};
    subscriber.phone = "0755-1";
    directory.add(subscriber);
    directory.add(person(2002, AccountKind::Subscriber, "B"));
    server = std::make_unique<PlatformServer>(directory, calls, recorder, random, settings);
}

FakeConsole ServerHarness::console(uint32_t operatorId, uint16_t port) {
    return FakeConsole(*server, Endpoint{kLoopback, port}, operatorId,
                       "pass" + std::to_string(operatorId), 5000u + port);
}

} // namespace talmor::server::testing
