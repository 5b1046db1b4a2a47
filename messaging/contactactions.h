#pragma once

#include <QString>
#include <QUrl>

#include <cstdint>
#include <optional>
#include <string>

#include "protocol/contactstore.h"
#include "protocol/records.h"

namespace talmor {

// What the quick-action bar offers for a hovered contact (GBK): the phone is profileText10,
// or profileText11 when that is empty; the e-mail is profileText8. None when all three texts
// are empty: the bar is then put away.
struct ContactBar {
    std::string phone;
    std::string email;
};
std::optional<ContactBar> QuickBarFor(const UserRecord& contact);

// The back-office page about a contact: "sellerinfo.aspx" for a business user ("B"),
// "managerinfo.aspx" for an operator ("S"), with manager_id, user_id and randnum; none for any
// other type.
std::optional<QUrl> ProfilePageUrl(const QString& backOfficeBase, const std::string& typeCode,
                                   uint32_t operatorId, uint32_t contactId,
                                   const std::string& installationId);

// The member page of `userId` on a member-information host (a base URL without a final '/'):
// host + "/memberinfo/?memberid=" + the id in unsigned decimal.
QUrl MemberPageUrl(const QString& host, uint32_t userId);

// Whether a user may be added as a contact: not id 0 (no user), not the operator, not a
// contact already.
enum class AddCheck { Allowed, NoUser, Self, AlreadyContact };
AddCheck CheckAdd(const ContactStore& contacts, uint32_t operatorId, uint32_t userId);

// "已将用户： " + id + " 加为您的通讯联系人。" and "用户：" + id + "
// 已加你为通讯联系人，是否通过？"
QString ContactAddedText(uint32_t userId);
QString AddRequestText(uint32_t userId);

} // namespace talmor
