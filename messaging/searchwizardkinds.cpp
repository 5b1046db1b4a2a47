#include "messaging/searchwizardkinds.h"

#include <algorithm>

#include "messaging/searchtexts.h"

namespace talmor {

bool SearchWizardKind::has(ConditionField field) const {
    const auto in = [field](const std::vector<ConditionField>& fields) {
        return std::find(fields.begin(), fields.end(), field) != fields.end();
    };
    return in(exactFields) || in(combinedFields);
}

const std::vector<SearchWizardKind>& SearchWizardKinds() {
    using F = ConditionField;
    static const std::vector<SearchWizardKind> kinds = {
        {SearchKind::Subscribers,
         29,
         31,
         30,
         text::kSearchCaption,
         false,
         {F::Account, F::Email},
         {F::Nick, F::Name, F::Sex, F::Age, F::Area},
         &SubscriberColumns,
         text::kUserSearchTimedOut,
         text::kChooseUser,
         text::kUserAlreadyContact,
         false,
         MemberHost::Members,
         true},
        {SearchKind::Providers,
         32,
         34,
         33,
         text::kSearchCaption,
         false,
         {F::Account, F::Email},
         {F::Name, F::Area, F::Phone},
         &ProviderColumns,
         text::kProviderSearchTimedOut,
         text::kChooseProvider,
         text::kProviderAlreadyContact,
         false,
         MemberHost::Providers,
         true},
        {SearchKind::Colleagues,
         40,
         41,
         42,
         text::kColleagueSearchCaption,
         true,
         {F::Account},
         {F::Name, F::Area, F::OnlineOnly},
         &ColleagueColumns,
         text::kColleagueSearchTimedOut,
         text::kChooseColleague,
         text::kUserAlreadyContact,
         true,
         MemberHost::None,
         false},
    };
    return kinds;
}

const SearchWizardKind* SearchWizardOfFrame(uint32_t frameType) {
    for (const SearchWizardKind& kind : SearchWizardKinds()) {
        if (kind.frameType == frameType) {
            return &kind;
        }
    }
    return nullptr;
}

const SearchWizardKind& SearchWizardOf(SearchKind kind) {
    return SearchWizardKinds()[static_cast<std::size_t>(kind)];
}

} // namespace talmor
