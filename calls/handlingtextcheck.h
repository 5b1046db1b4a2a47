#pragma once

#include <QString>

#include <optional>
#include <string>

class QWidget;

namespace talmor {

class ConsoleUi;

// The GBK bytes of a report, SMS or notice text for its request; none, after telling the
// operator, when it holds a character GBK cannot write or is too long for one datagram.
std::optional<std::string> RequestText(const QString& text, ConsoleUi& ui, QWidget* owner);

} // namespace talmor
