#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "protocol/sessionrecords.h"

namespace talmor {

// What the enabling rules of the main menu look at.
struct MenuState {
    bool ready = false;
    const SeatRights* rights = nullptr;
    uint32_t scopeKind = 0;
    uint32_t optionBits = 0;
    // From the contact pane: how many groups, and the selected one (-1 none) of `groupCount`.
    int groupCount = 0;
    int selectedGroup = -1;
};

// The update rule of one menu command: enabled only when the console is ready (the exception
// is a rule with needsReady false), with every right of `rights`, with at least one of
// `anyRight` when that is not empty, and for an area scope when `areaScope`; `checkBit` >= 0
// shows a check mark while that option bit is set.
struct MenuRule {
    bool needsReady = true;
    std::vector<int> rights;
    std::vector<int> anyRight;
    bool areaScope = false;
    int checkBit = -1;
    enum class Group { Any, FewerThanMax, Selected, DeletableSelected } group = Group::Any;
};

struct MenuItemState {
    bool enabled = true;
    bool checked = false;
};

constexpr int kMaxGroups = 50;
// The last three groups of the list cannot be deleted.
constexpr int kFixedGroups = 3;

// The rules of the main menu by command. Commands without a rule keep the state they have.
class MenuRules {
public:
    // The rules of the window's own commands (settings, reminder toggles, contacts, searches).
    MenuRules();

    void add(int command, MenuRule rule) { rules_[command] = std::move(rule); }
    bool has(int command) const { return rules_.count(command) != 0; }
    // The state of `command` under `state`, or none when it has no rule.
    std::optional<MenuItemState> apply(int command, const MenuState& state) const;
    // The option bit a command flips, or -1.
    int toggledBit(int command) const;

private:
    std::map<int, MenuRule> rules_;
};

} // namespace talmor
