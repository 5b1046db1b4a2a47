#include "calls/handlingtextcheck.h"

#include "calls/handlingtexts.h"
#include "kit/consoleui.h"
#include "kit/gbktext.h"

namespace talmor {

std::optional<std::string> RequestText(const QString& text, ConsoleUi& ui, QWidget* owner) {
    std::optional<std::string> bytes = ToGbk(text);
    if (!bytes) {
        ui.error(owner, NotGbkMessage(FirstNonGbk(text)));
        return std::nullopt;
    }
    if (bytes->size() > text::kMaxHandlingTextBytes) {
        ui.error(owner, QString::fromUtf8(text::kHandlingTextTooLong));
        return std::nullopt;
    }
    return bytes;
}

} // namespace talmor
