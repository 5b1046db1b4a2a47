#pragma once

#include <QString>

#include <optional>
#include <string>

namespace talmor {

// Texts stay GBK bytes on the wire and in the data files; the windows convert at their edge.
QString FromGbk(const std::string& bytes);
// None when `text` holds a character GBK cannot write.
std::optional<std::string> ToGbk(const QString& text);
// The first character of `text` that GBK cannot write; empty when there is none.
QString FirstNonGbk(const QString& text);
// The message that refuses `character`.
QString NotGbkMessage(const QString& character);

} // namespace talmor
