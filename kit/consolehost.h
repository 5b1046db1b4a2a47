#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

#include "kit/eventroutes.h"

class QIcon;
class QRect;
class QUrl;

namespace talmor {

class ConsoleUi;
class ContactStore;
class PeerSessionManager;
class PlatformClient;
class WindowRegistry;
struct Deployment;
struct OwnProfile;
struct SeatRights;
namespace storage {
struct ConsoleOptions;
}

// What the console's features (calls, messaging, media and the kit) may use of the console that
// holds them. The main window implements it; a feature takes the host, never the window, so it
// sees only these services and a verb for each thing it does to the window's widgets.
class ConsoleHost {
public:
    // The main window's registered type: registered while the window is whole, so a part that
    // finds it knows the console is not being torn down.
    static constexpr uint32_t kMainWindowType = 19;

    // The parent of the parts' objects and dialogs, and the owner of their message boxes.
    virtual QWidget& mainWidget() = 0;
    // The message boxes and dialogs that wait for the operator.
    virtual ConsoleUi& ui() = 0;
    // The requests to the server.
    virtual PlatformClient& client() = 0;
    // The registered windows: the parts' windows register there and find each other.
    virtual WindowRegistry& windows() = 0;
    // The direct sessions with other consoles (chat, files, voice, video).
    virtual PeerSessionManager& peers() = 0;
    // The operator's own record, status and scope.
    virtual const OwnProfile& own() const = 0;
    // The contacts of the contact list.
    virtual ContactStore& contacts() = 0;
    // Id 0 gives the own profile, else the contact's record, else none.
    virtual const UserRecord* FindUserRecord(uint32_t id) const = 0;
    // The rights of the operator's seat (which calls and menus it may handle).
    virtual const SeatRights& seatRights() const = 0;
    // The console options (sounds, auto reply, jump to tab ...), reloaded by the options sheet.
    virtual storage::ConsoleOptions& options() = 0;
    // The addresses and devices of this installation.
    virtual const Deployment& deployment() const = 0;
    // The logged-in operator (0 before the first login).
    virtual uint32_t operatorId() const = 0;
    // The "randnum" the back-office addresses carry; empty before the first connection.
    virtual const std::string& installationId() = 0;
    // "http://" + the back-office host + "/".
    virtual QString backOfficeBase() const = 0;
    // The receivers of the server events, and the chat and intake parts by their own type.
    virtual EventRoutes& routes() = 0;
    // Logged in with the lists loaded.
    virtual bool ready() const = 0;

    // A command of the main menu `menu` captioned `caption`; `handler` answers it. With
    // `onlyWhenReady` the item is greyed while the console is not ready.
    virtual void addMenuCommand(const QString& menu, int command, const QString& caption,
                                bool onlyWhenReady, std::function<void()> handler) = 0;
    // Shows or hides a command added by addMenuCommand.
    virtual void setMenuCommandVisible(int command, bool visible) = 0;

    // Puts the pane of call category `code` into its tab.
    virtual void placeCategoryPane(int code, QWidget* pane) = 0;
    // Brings the tab of call category `code` to the front, when the seat has one.
    virtual void showCategoryTab(int code) = 0;
    // Puts the processing list at the bottom of the window.
    virtual void placeProcessPane(QWidget* pane) = 0;
    // Puts the contact list at the right of the window.
    virtual void placeContactPane(QWidget* pane) = 0;
    // Selects the work tab, shows the work pane and navigates it to `url`.
    virtual void ShowInWorkPane(const QUrl& url) = 0;
    // Places, fills, shows or hides the quick-action bar beside a hovered row: `row` on the
    // screen, `kind` 1 a contact, 2 a row of the processing list, 0 puts it away. Texts are GBK.
    virtual void ShowEcpBar(const QRect& row, int kind, bool show, const std::string& phone,
                            uint32_t userId, const std::string& email, uint32_t callId,
                            const std::string& name) = 0;
    // Puts the bar away when it belongs to a list of `kind`.
    virtual void HideEcpBarOf(int kind) = 0;

    // The provider count of the status line: a label kept right of it is a child of its parent.
    virtual QWidget& providerCount() = 0;
    // A label kept in the status line right of the provider count: the notice strip starts
    // after it while it shows.
    virtual void setStatusExtra(QWidget* extra) = 0;
    // Places every part again (the status extra appeared or went).
    virtual void relayout() = 0;
    // The tray icon, for as long as nothing else sets it.
    virtual void setTrayIcon(const QIcon& icon) = 0;

protected:
    // Nobody destroys a console through its host. Left trivial, so the host still answers
    // while the window's QWidget base deletes the parts it parents.
    ~ConsoleHost() = default;
};

} // namespace talmor
