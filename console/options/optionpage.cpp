#include "console/options/optionpage.h"

#include <QCheckBox>

#include "storage/optionstore.h"

namespace talmor {

COptionPage::COptionPage(const std::string& userFolder, QWidget* parent)
    : QWidget(parent), userFolder_(userFolder) {
    if (!storage::LoadOptions(userFolder_, options_)) {
        options_ = storage::ConsoleOptions();
    }
}

QCheckBox* COptionPage::optionBox(const char* caption, int bit) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), this);
    box->setChecked(options_.bit(bit));
    return box;
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
