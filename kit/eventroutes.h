#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/queryrecords.h"
#include "protocol/records.h"

class QWidget;

namespace talmor {

class CallIntake;
class ChatPart;

// Receivers of the server events whose windows are built by other parts of the console. Each
// part installs its receiver when it exists; until then an event is reported on standard output
// ("no receiver for ...") instead of vanishing without a trace.

// The call panes of the 27 categories, the intake of new calls and the reminder window.
class CallReceiver {
public:
    virtual ~CallReceiver() = default;
    // A part of call list `list` (ListCursors numbering: help, SOS, 24 categories, customer
    // service); the console asks for the following part itself. Taken calls go to the
    // HandlingReceiver.
    virtual void onCallList(int list, std::vector<CallRecord> calls) = 0;
    virtual void onNewCall(CallRecord call) = 0;
    virtual void onCallGone(uint32_t callId) = 0;
    // The server recorded the handling of `callId`: it leaves the help and SOS panes.
    virtual void onCallMemoSaved(uint32_t callId) = 0;
    // The login completed: every pane drops its rows before the lists are asked for again.
    virtual void onListsRequested() = 0;
    // Timer 1007: the reminder window is due.
    virtual void onReminderDue() = 0;
    // Rows in the pane of category `code` (the tab blinks while it holds any).
    virtual int rowCount(int code) const = 0;
};

// The console's one player of sound events 0 to 9 (calls, a chat message, the lost
// connection): option bit 1 turns them off, and a new sound cuts the one playing.
class SoundReceiver {
public:
    virtual ~SoundReceiver() = default;
    virtual void playSoundEvent(int event) = 0;
};

// The processing list of taken calls and the windows that handle one call (reports, family
// SMS, merchant notice, merchant search).
class HandlingReceiver {
public:
    virtual ~HandlingReceiver() = default;
    // A part of the taken-call list.
    virtual void onTakenCalls(std::vector<CallRecord> calls) = 0;
    // A call pane took `call` (the server accepted nothing yet): it joins the processing list.
    virtual void onCallTaken(const CallRecord& call) = 0;
    // Whether `callId` is in the processing list (taken by this operator).
    virtual bool holds(uint32_t) const { return false; }
    // `second` tells OnCallNoticeDone2 from OnCallNoticeDone.
    virtual void onCallNoticeDone(uint32_t callId, bool second) = 0;
    // The server says `callId` is gone: another console took or closed it first, so it leaves
    // the processing list and its handling windows close.
    virtual void onCallGone(uint32_t callId) = 0;
    // The server recorded the handling of `callId`: its report window closes and the call
    // leaves the processing list.
    virtual void onCallMemoSaved(uint32_t callId) = 0;
    // `second` tells OnFamilyContact2 from OnFamilyContact.
    virtual void onFamilyContact(bool second, uint32_t key, const std::string& name,
                                 const std::string& phone) = 0;
    virtual void onSellerResult(std::vector<SellerEntry> entries, uint32_t windowKey) = 0;
    // The login completed: the processing list drops its rows before it is asked for again.
    virtual void onListsRequested() = 0;
    // A call of the processing list was dropped on the contact `userId` of the contact pane.
    virtual void onCallDroppedOnContact(uint32_t callId, uint32_t userId) = 0;
    // The quick-action bar's SMS button: open the family SMS window (type 39, key `callId`) for
    // the caller `userId` (name and phone in GBK). The bar asks only when none is open.
    virtual void openFamilySms(uint32_t callId, uint32_t userId, const std::string& name,
                               const std::string& phone);
};

// The contact pane and the group dialogs.
class ContactReceiver {
public:
    virtual ~ContactReceiver() = default;
    virtual void onGroupList(const std::vector<GroupEntry>& groups) = 0;
    // The contacts of one contact-list datagram are in the contact store (login or re-login);
    // `entries` are that datagram's entries, with the group each is filed in.
    virtual void onContactsLoaded(const std::vector<ContactEntry>& entries) = 0;
    virtual void onGroupCreated(uint32_t groupId) = 0;
    virtual void onGroupNameChanged(uint32_t groupId, const std::string& name) = 0;
    // The group's members go with it: returns the contacts whose records were destroyed.
    virtual std::vector<uint32_t> onGroupDeleted(uint32_t groupId) = 0;
    virtual void onUserInfo(uint32_t userId) = 0;
    virtual void onContactOnline(uint32_t userId, uint32_t status, bool fromList) = 0;
    virtual void onContactOffline(uint32_t userId) = 0;
    virtual void onContactStatus(uint32_t userId, uint32_t status) = 0;
    virtual void onContactMoved(uint32_t groupId, uint32_t userId) = 0;
    virtual void onContactDeleted(uint32_t userId) = 0;
    virtual void onContactAdded(uint32_t userId) = 0;
    virtual void onAddRequest(uint32_t userId) = 0;
    // Every contact went offline with the operator.
    virtual void onAllOffline() = 0;
    // The menu commands 32872, 32873 and 32874.
    virtual void createGroup() = 0;
    virtual void renameGroup() = 0;
    virtual void deleteGroup() = 0;
    virtual int groupCount() const = 0;
    // The selected group's position in the list, or -1.
    virtual int selectedGroup() const = 0;
};

// Chat and chat history windows.
class MessagingReceiver {
public:
    virtual ~MessagingReceiver() = default;
    virtual void onMessage(MessageRecord message) = 0;
    // A contact's profile or presence changed (its chat window shows it).
    virtual void onContactChanged(uint32_t userId) = 0;
    // What the contact pane asks of a contact's chat window (type 6, key `userId`): open it,
    // or flash the open one, then start a file offer, a voice or a video request in it.
    enum class ChatStart { Open, SendFile, Voice, Video };
    virtual void openChat(uint32_t userId, ChatStart start);
};

// The file transfers with the contacts, shown in their chat windows.
class FileReceiver {
public:
    virtual ~FileReceiver() = default;
    virtual void onFileOffer(uint32_t peer, uint32_t size, const std::string& name) = 0;
    virtual void onFileAccepted(uint32_t peer, uint16_t port) = 0;
    virtual void onFileCancelled(uint32_t peer) = 0;
    virtual void onFileRelayReady(uint32_t peer, uint32_t received, bool relayed) = 0;
    virtual void onFileRelayData(uint32_t peer, const uint8_t* data, uint32_t length,
                                 uint32_t sent) = 0;
    virtual void onFileTransferDone(uint32_t peer) = 0;
    virtual void onFileProgress(uint32_t peer, uint32_t total, uint32_t done) = 0;
    virtual std::string transferFilePath(uint32_t peer) = 0;
    virtual uint32_t transferFileSize(uint32_t peer) = 0;
    // The direct transfer could not read or write its file (`error`: errno, or 0 when the file
    // ended before its announced size).
    virtual void onFileFailed(uint32_t peer, int error) = 0;
    // The contact went offline: a transfer with it cannot go on.
    virtual void onPeerOffline(uint32_t peer) = 0;
};

// The voice talks and the video chats with the contacts, shown in their chat windows: both
// kinds receive the same events, each on its own commands.
class TalkReceiver {
public:
    virtual ~TalkReceiver() = default;
    virtual void onOffer(uint32_t peer) = 0;
    virtual void onAccepted(uint32_t peer, uint16_t port) = 0;
    virtual void onCancelled(uint32_t peer) = 0;
    virtual void onChannelReady(uint32_t peer, bool relayed) = 0;
    virtual void onChannelStarted(uint32_t peer, bool relayed) = 0;
    virtual void onData(uint32_t peer, const uint8_t* data, uint32_t length) = 0;
};

// The three search wizards (subscribers, service providers, colleagues).
class SearchReceiver {
public:
    virtual ~SearchReceiver() = default;
    // Search results reach the wizard that waits for them: `ackSeq` is its request's seq.
    virtual void onSearchResultA(std::vector<SearchEntryA> entries, uint16_t ackSeq) = 0;
    virtual void onSearchResultB(std::vector<SearchEntryB> entries, uint16_t ackSeq) = 0;
    virtual void onSearchResultD(std::vector<SearchEntryD> entries, uint16_t ackSeq) = 0;
    // Menu commands 32843, 32845 and 32878: open the wizard of `windowType` (29, 32, 40), or
    // let the open one answer.
    virtual void openSearchWizard(uint32_t windowType) = 0;
};

// The drag of a call from the processing list: its data is the call id in decimal digits.
constexpr const char* kCallMimeType = "application/x-talmor-call";

// The console options sheet, run by OpenOptionsSheet (kit/optionsheetentry.h).
class OptionsReceiver {
public:
    virtual ~OptionsReceiver() = default;
    // Runs the sheet modally over `owner`, showing page `page` (0, 1 or 2) first.
    virtual void runOptionSheet(QWidget* owner, int page) = 0;
};

// The installed receivers; each may be missing while its part of the console is not built.
struct EventRoutes {
    CallReceiver* calls = nullptr;
    HandlingReceiver* handling = nullptr;
    ContactReceiver* contacts = nullptr;
    MessagingReceiver* messaging = nullptr;
    FileReceiver* file = nullptr;
    TalkReceiver* voice = nullptr;
    TalkReceiver* video = nullptr;
    OptionsReceiver* options = nullptr;
    SearchReceiver* search = nullptr;
    SoundReceiver* sounds = nullptr;
    // The parts other parts talk to, by their own type, installed with their receivers: the
    // chat windows' part (file, voice and video live in its windows) and the call intake with
    // its operator safety (the options sheet edits its switches).
    ChatPart* chat = nullptr;
    CallIntake* intake = nullptr;
};

// The line reported for an event that has no receiver yet.
void ReportUnrouted(const char* operation, uint32_t key);

} // namespace talmor
