#include "console/options/optionpage.h"

#include "storage/optionstore.h"

namespace talmor {

COptionPage::COptionPage(const std::string& userFolder, QWidget* parent)
    : QWidget(parent), userFolder_(userFolder) {
    if (!storage::LoadOptions(userFolder_, options_)) {
        options_ = storage::ConsoleOptions();
    }
}

void COptionPage::storeOwnFields(const std::function<void(storage::ConsoleOptions&)>& apply) const {
    storage::ConsoleOptions stored = options_;
    if (!storage::LoadOptions(userFolder_, stored)) {
        stored = options_;
    }
    apply(stored);
    storage::SaveOptions(userFolder_, stored);
}

} // namespace talmor
