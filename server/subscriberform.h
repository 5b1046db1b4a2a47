#pragma once

#include <QString>
#include <QUrlQuery>

#include <cstdint>
#include <variant>

#include "server/account.h"

namespace talmor::server {

class Directory;

// 创建呼叫客户 (createuser.aspx): a subscriber made from the form's fields in the operator's
// area. The whole input is checked before anything is stored, so bad input stores nothing.
class SubscriberForm {
public:
    static constexpr int kFamilyRows = 3;

    // The new subscriber, ready for the directory, or the message for the page.
    static std::variant<Account, QString> read(const QUrlQuery& fields, const Account& self,
                                               const Directory& directory);
    // Checks and stores; the new subscriber's id, or the message.
    static std::variant<uint32_t, QString> create(const QUrlQuery& fields, const Account& self,
                                                  Directory& directory);
    // The page with the form (the operator's fixed area shown, the rest to fill in).
    static QString page(const QUrlQuery& query, const Account* self);
};

} // namespace talmor::server
