#include "console/menurules.h"

#include "console/commandids.h"
#include "storage/consoleoptions.h"

namespace talmor {

namespace {
constexpr int kProviderRight = 7;
} // namespace

MenuRules::MenuRules() {
    add(cmd::kSystemSettings, {});
    const std::pair<int, int> toggles[] = {
        {cmd::kTakeHelpCalls, storage::kOptionTakeHelpCalls},
        {cmd::kTakeSosCalls, storage::kOptionTakeSosCalls},
        {cmd::kHelpReminder, storage::kOptionHelpReminder},
        {cmd::kSosReminder, storage::kOptionSosReminder},
        {cmd::kJumpToTab, storage::kOptionJumpToTab},
    };
    for (const auto& [command, bit] : toggles) {
        MenuRule rule;
        rule.checkBit = bit;
        add(command, rule);
    }
    MenuRule subscriber;
    subscriber.areaScope = true;
    add(cmd::kAddSubscriber, subscriber);
    MenuRule provider;
    provider.rights = {kProviderRight};
    add(cmd::kAddProvider, provider);
    add(cmd::kAddColleague, {});
    MenuRule create;
    create.group = MenuRule::Group::FewerThanMax;
    add(cmd::kCreateGroup, create);
    MenuRule rename;
    rename.group = MenuRule::Group::Selected;
    add(cmd::kRenameGroup, rename);
    MenuRule remove;
    remove.group = MenuRule::Group::DeletableSelected;
    add(cmd::kDeleteGroup, remove);
}

std::optional<MenuItemState> MenuRules::apply(int command, const MenuState& state) const {
    const auto found = rules_.find(command);
    if (found == rules_.end()) {
        return std::nullopt;
    }
    const MenuRule& rule = found->second;
    const auto granted = [&state](int right) {
        return state.rights != nullptr && state.rights->granted(static_cast<std::size_t>(right));
    };
    bool enabled = state.ready || !rule.needsReady;
    for (int right : rule.rights) {
        enabled = enabled && granted(right);
    }
    if (!rule.anyRight.empty()) {
        bool any = false;
        for (int right : rule.anyRight) {
            any = any || granted(right);
        }
        enabled = enabled && any;
    }
    if (rule.areaScope) {
        enabled = enabled && state.scopeKind == 0;
    }
    const bool selected = state.selectedGroup >= 0 && state.selectedGroup < state.groupCount;
    switch (rule.group) {
    case MenuRule::Group::Any:
        break;
    case MenuRule::Group::FewerThanMax:
        enabled = enabled && state.groupCount < kMaxGroups;
        break;
    case MenuRule::Group::Selected:
        enabled = enabled && selected;
        break;
    case MenuRule::Group::DeletableSelected:
        enabled = enabled && selected && state.selectedGroup < state.groupCount - kFixedGroups;
        break;
    }
    MenuItemState result;
    result.enabled = enabled;
    result.checked = rule.checkBit >= 0 && ((state.optionBits >> rule.checkBit) & 1U) != 0;
    return result;
}

int MenuRules::toggledBit(int command) const {
    const auto found = rules_.find(command);
    return found == rules_.end() ? -1 : found->second.checkBit;
}

} // namespace talmor
