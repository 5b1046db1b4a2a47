#pragma once

#include <QString>
#include <QUrl>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace talmor {

// One key and its value (GBK bytes) of a page address's query.
using QueryItem = std::pair<std::string, std::string>;

// base + path + "?" + key1=value1&key2=value2... The path and the keys are taken exactly as
// written (a path may well hold "//"); every value is percent-encoded from its GBK bytes, so a
// phone number or a map mark holding "&", "#", "?", "%" or a blank stays one value. The address
// keeps those bytes as they are: it is never decoded and encoded again. No query gives base +
// path alone.
QUrl PageUrl(const QString& base, const std::string& path, const std::vector<QueryItem>& query);

// "mailto:" + `email` (GBK): one address, never a second one or header fields of its own.
QUrl MailToUrl(const std::string& email);

// `value` in unsigned decimal, as ids go into addresses.
std::string Decimal(uint32_t value);

} // namespace talmor
