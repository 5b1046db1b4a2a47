#pragma once

#include <QDialog>
#include <QPointer>
#include <QTextCharFormat>
#include <QTimer>

#include <cstdint>
#include <vector>

#include "protocol/records.h"
#include "protocol/registeredwindow.h"

class QMenuBar;
class QPushButton;
class QLabel;
class QMenu;

namespace talmor {

class ChatPart;
class CHistoryChatDlg;
class CMsgEdit;
class CMsgView;
class ConsoleHost;
class CUserPicDlg;
class PhraseMenuPopup;

// The chat window with one contact (registered window type 6, keyed by the peer's id): it
// composes, sends and shows messages, falls back to the server when a direct message goes
// unanswered, and hands every message to the history once it is safe.
//
// Every message the operator sends is stored exactly once, when the path it went by acknowledges
// it: the peer's session (counted only here, for this window's direct numbers) or the server
// (the chat part's outbox waits for that, so a closed window loses none).
class CSendMsgDlg : public QDialog, public RegisteredWindow {
    Q_OBJECT
public:
    static constexpr uint32_t kWindowType = kChatWindowType;
    // The file transfer strip's registered window type, keyed by the peer id.
    static constexpr uint32_t kFileWindowType = 7;
    static constexpr int kFallbackMs = 5000; // timer 100001
    static constexpr QRgb kOwnHeader = qRgb(0, 128, 0);
    static constexpr QRgb kPeerHeader = qRgb(0, 0, 255);

    CSendMsgDlg(ConsoleHost& main, uint32_t peerId, bool fromIncoming);
    ~CSendMsgDlg() override;

    uint32_t peerId() const { return key; }
    // The contact's record as it is now; none once it is no longer a contact.
    const ContactRecord* contact() const;

    // Sends the input's text (the send button and Ctrl+Enter).
    void send();
    // Shows a received message (flashing and sounding when the window is not in front).
    void showIncoming(const MessageRecord& message);
    // The contact's record changed (status, profile, or the contact went).
    void refreshContact();
    // Replaces the input's content with `text` (a quick reply).
    void replaceInput(const QString& text);
    // Timer 100001: every direct message still unacknowledged goes again through the server.
    void onFallbackTimer();
    bool fallbackRunning() const { return fallback_.isActive(); }
    std::size_t pendingDirect() const { return direct_.size(); }
    std::size_t pendingServer() const;

    // The window waits for no request of the server itself: its outbox does.
    bool matches(uint32_t) const override { return false; }
    void onPeerAcked(uint32_t number) override;
    // The server never acknowledged `message`: asks whether to send its text again.
    void askResend(const MessageRecord& message);

    // Opens or closes the history strip below the window.
    void toggleHistory();
    CHistoryChatDlg* history() const;
    // Places the history strip below the window.
    void placeHistory();
    void insertEmoticon(int index);
    // Pops up the emoticon picker below its button.
    void openEmoticonPicker();
    void chooseFont();
    void chooseColour();
    // The menu command `id` of menu 251 or of the buttons.
    void command(int id);
    // Whether menu 251's item `id` is enabled now.
    bool commandEnabled(int id) const;

    CMsgView& display() { return *display_; }
    CMsgEdit& input() { return *input_; }
    QLabel& nickLabel() { return *nick_; }
    QPushButton& sendButton() { return *sendButton_; }
    QPushButton& historyButton() { return *historyButton_; }
    QPushButton& quickReplyButton() { return *quickButton_; }
    PhraseMenuPopup& quickReplies() { return *quickReplies_; }
    QMenuBar& menu() { return *menuBar_; }
    // The right-hand pane's width now (0 hidden, 120 pictures, 187 video).
    int paneWidth() const;
    void togglePane();
    // The video pane (a child of the window, hidden until a video chat streams) and whether it
    // takes the picture pane's place on the right.
    void setVideoPane(QWidget* pane);
    void showVideoPane(bool shown);
    bool videoPaneShown() const { return videoShown_; }
    CUserPicDlg& picturePane() { return *pictures_; }

    // A strip along the bottom of the display (the file transfer's); none gives the display its
    // room back once the strip is gone.
    void setBottomStrip(QWidget* strip);

    // Set and cleared by the voice and video sessions.
    bool voiceRunning = false;
    bool videoRunning = false;

signals:
    // A notice link of the display: 10001 to 10006 (the file, voice and video sessions act).
    void notification(int code);
    // The file, voice or video command (32788, 32789, 32790) while the peer is not offline.
    void mediaRequested(int command);
    // The operator confirmed the close: what still runs with the peer ends now.
    void closingAccepted();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    struct Pending {
        uint32_t number;
        MessageRecord message;
    };

    void build();
    void buildMenu();
    void layOut();
    void placeOpened(bool fromIncoming);
    uint32_t route(const MessageRecord& message);
    // Sends `message` through the server; the outbox waits for its acknowledgement.
    void sendViaServer(MessageRecord message);
    ChatPart& chats() const;
    void showOwn(const MessageRecord& message);
    void store(const MessageRecord& message);
    QString ownNick() const;
    QString peerNick() const;

    ConsoleHost& main_;
    QWidget* client_ = nullptr; // everything below the menu bar
    QString nickText_;
    QString profileText_;
    CMsgView* display_;
    CMsgEdit* input_;
    QLabel* nick_;
    QMenuBar* menuBar_;
    QPushButton* topButtons_[4];
    QPushButton* historyButton_;
    QPushButton* fontButton_;
    QPushButton* colourButton_;
    QPushButton* quickButton_;
    QPushButton* emoticonButton_;
    QPushButton* sendButton_;
    QPushButton* paneToggle_;
    CUserPicDlg* pictures_;
    PhraseMenuPopup* quickReplies_;
    bool paneShown_ = true;
    QPointer<QWidget> bottomStrip_;
    QPointer<QWidget> video_;
    bool videoShown_ = false;
    QTimer fallback_;
    std::vector<Pending> direct_; // sent over a peer session, not yet acknowledged
};

// The format that every new chat window's input starts with; a closing window leaves its own.
QTextCharFormat& SharedChatFormat();

} // namespace talmor
