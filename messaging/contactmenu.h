#pragma once

#include <QMenu>

#include <memory>

namespace talmor {

class ContactList;

// Menu 267 "contact", shown on a contact row, and its command ids.
namespace contactcmd {
constexpr int kChat = 32838;
constexpr int kSendFile = 32788;
constexpr int kVoice = 32789;
constexpr int kVideo = 32790;
constexpr int kDelete = 32839;
constexpr int kProfile = 32840;
// "联系人转移到": group i of the list is kMoveFirst + i.
constexpr int kMoveFirst = 34000;
constexpr int kMoveLast = 34050;
} // namespace contactcmd

// The position of the move-to submenu in the menu.
constexpr int kMoveSubmenuPosition = 9;

// The menu for a contact: file, voice and video are grayed while the contact is offline; the
// move-to submenu lists the groups in array order. Each action carries its command id as data.
std::unique_ptr<QMenu> BuildContactMenu(const ContactList& list, bool contactOffline);
// The command id of a chosen action, or 0 for none.
int CommandOf(const QAction* action);

} // namespace talmor
