#pragma once

#include <QString>

#include <optional>
#include <string>

namespace talmor::server {

// Texts travel as GBK bytes. None when `text` holds a character GBK cannot write.
std::optional<std::string> toGbk(const QString& text);
QString fromGbk(const std::string& bytes);

} // namespace talmor::server
