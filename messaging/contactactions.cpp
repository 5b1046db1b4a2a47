#include "messaging/contactactions.h"

#include "kit/backofficeurl.h"
#include "messaging/contacttexts.h"

namespace talmor {

namespace {
constexpr std::size_t kEmailText = 7;   // profileText8
constexpr std::size_t kPhoneText = 9;   // profileText10
constexpr std::size_t kMobileText = 10; // profileText11
} // namespace

std::optional<ContactBar> QuickBarFor(const UserRecord& contact) {
    const auto& texts = contact.profileText;
    if (texts[kEmailText].empty() && texts[kPhoneText].empty() && texts[kMobileText].empty()) {
        return std::nullopt;
    }
    ContactBar bar;
    bar.phone = texts[kPhoneText].empty() ? texts[kMobileText] : texts[kPhoneText];
    bar.email = texts[kEmailText];
    return bar;
}

std::optional<QUrl> ProfilePageUrl(const QString& backOfficeBase, const std::string& typeCode,
                                   uint32_t operatorId, uint32_t contactId,
                                   const std::string& installationId) {
    std::string page;
    if (typeCode == "B") {
        page = "sellerinfo.aspx";
    } else if (typeCode == "S") {
        page = "managerinfo.aspx";
    } else {
        return std::nullopt;
    }
    return PageUrl(backOfficeBase, page,
                   {{"manager_id", Decimal(operatorId)},
                    {"user_id", Decimal(contactId)},
                    {"randnum", installationId}});
}

QUrl MemberPageUrl(const QString& host, uint32_t userId) {
    return QUrl(host + QStringLiteral("/memberinfo/?memberid=") + QString::number(userId));
}

AddCheck CheckAdd(const ContactStore& contacts, uint32_t operatorId, uint32_t userId) {
    if (userId == 0) {
        return AddCheck::NoUser;
    }
    if (userId == operatorId) {
        return AddCheck::Self;
    }
    return contacts.find(userId) != nullptr ? AddCheck::AlreadyContact : AddCheck::Allowed;
}

QString ContactAddedText(uint32_t userId) {
    return QString::fromUtf8(text::kContactAddedBefore) + QString::number(userId) +
           QString::fromUtf8(text::kContactAddedAfter);
}

QString AddRequestText(uint32_t userId) {
    return QString::fromUtf8(text::kAddRequestBefore) + QString::number(userId) +
           QString::fromUtf8(text::kAddRequestAfter);
}

} // namespace talmor
