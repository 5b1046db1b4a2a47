#include "messaging/chat/sendmsgdlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFontDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>

#include <algorithm>

#include "kit/consolehost.h"
#include "kit/consoleui.h"
#include "kit/deployment.h"
#include "kit/gbktext.h"
#include "kit/phrasemenupopup.h"
#include "messaging/chat/chatpart.h"
#include "messaging/chat/chatrules.h"
#include "messaging/chat/chattexts.h"
#include "messaging/chat/historychatdlg.h"
#include "messaging/chat/imageselector.h"
#include "messaging/chat/msgedit.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/userpicdlg.h"
#include "protocol/contactstore.h"
#include "protocol/messagebody.h"
#include "protocol/ownprofile.h"
#include "protocol/peersessionmanager.h"
#include "protocol/platformclient.h"
#include "protocol/registeredwindow.h"
#include "storage/textlists.h"

namespace talmor {

namespace {

// The sound of a message that arrives while its chat window is not the active one.
constexpr int kMessageArrivedSound = 0;

} // namespace

QTextCharFormat& SharedChatFormat() {
    static QTextCharFormat format;
    return format;
}

CSendMsgDlg::CSendMsgDlg(ConsoleHost& main, uint32_t peerId, bool fromIncoming)
    : QDialog(nullptr), RegisteredWindow(main.windows(), kWindowType, peerId, 0), main_(main) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("chat") + QString::number(peerId));
    if (const ContactRecord* record = contact()) {
        nickText_ = FromGbk(record->nick);
        profileText_ = FromGbk(record->profileText[7]);
    }
    fallback_.setSingleShot(true);
    connect(&fallback_, &QTimer::timeout, this, &CSendMsgDlg::onFallbackTimer);
    build();
    placeOpened(fromIncoming);
}

CSendMsgDlg::~CSendMsgDlg() {
    delete history();
}

const ContactRecord* CSendMsgDlg::contact() const {
    return main_.contacts().find(key);
}

void CSendMsgDlg::build() {
    client_ = new QWidget(this);
    const char* tops[4] = {chat::kFileButton, chat::kVoiceButton, chat::kVideoButton,
                           chat::kHistoryButton};
    const int topCommands[4] = {chat::kCmdFile, chat::kCmdVoice, chat::kCmdVideo,
                                chat::kCmdHistory};
    for (int i = 0; i < 4; ++i) {
        topButtons_[i] = new QPushButton(QString::fromUtf8(tops[i]), client_);
        const int id = topCommands[i];
        connect(topButtons_[i], &QPushButton::clicked, this, [this, id] { command(id); });
    }
    historyButton_ = topButtons_[3];
    historyButton_->setObjectName(QStringLiteral("historyButton"));
    historyButton_->setCheckable(true);
    // The click toggles through the command; the button only shows the strip's state.
    historyButton_->setAutoExclusive(false);

    display_ = new CMsgView(client_);
    input_ = new CMsgEdit(client_);
    input_->setCurrentCharFormat(SharedChatFormat());
    nick_ = new QLabel(client_);
    nick_->setObjectName(QStringLiteral("nickLabel"));
    nick_->setTextFormat(Qt::PlainText);
    nick_->setCursor(Qt::PointingHandCursor);
    connect(nick_, &QLabel::linkActivated, this, [this] {
        main_.ui().openInBrowser(ContactPageUrl(main_.deployment().publicSite, key));
    });

    fontButton_ = new QPushButton(QStringLiteral("A"), client_);
    fontButton_->setToolTip(QString::fromUtf8(chat::kFontTip));
    colourButton_ = new QPushButton(QStringLiteral("■"), client_);
    quickButton_ = new QPushButton(QStringLiteral("…"), client_);
    quickButton_->setObjectName(QStringLiteral("quickReplyButton"));
    quickButton_->setToolTip(QString::fromUtf8(chat::kQuickReplyTip));
    emoticonButton_ = new QPushButton(QStringLiteral("☺"), client_);
    emoticonButton_->setObjectName(QStringLiteral("emoticonButton"));
    sendButton_ = new QPushButton(QString::fromUtf8(chat::kSendButton), client_);
    sendButton_->setObjectName(QStringLiteral("sendButton"));
    sendButton_->setToolTip(QString::fromUtf8(chat::kSendTip));
    paneToggle_ = new QPushButton(client_);
    pictures_ = new CUserPicDlg(client_);

    connect(fontButton_, &QPushButton::clicked, this, [this] { command(chat::kCmdFont); });
    connect(colourButton_, &QPushButton::clicked, this, [this] { command(chat::kCmdColour); });
    connect(emoticonButton_, &QPushButton::clicked, this, &CSendMsgDlg::openEmoticonPicker);
    connect(sendButton_, &QPushButton::clicked, this, &CSendMsgDlg::send);
    connect(paneToggle_, &QPushButton::clicked, this, &CSendMsgDlg::togglePane);
    connect(input_, &CMsgEdit::sendRequested, this, &CSendMsgDlg::send);
    connect(display_, &CMsgView::notification, this, &CSendMsgDlg::notification);
    connect(display_, &CMsgView::openLink, this,
            [this](const QUrl& url) { main_.ui().openInBrowser(url); });
    quickReplies_ =
        new PhraseMenuPopup(main_, kQuickPhrases, &storage::LoadQuickReplies, *quickButton_,
                            [this](const QString& text) { replaceInput(text); });

    buildMenu();
    refreshContact();
    setMinimumSize(kChatMinWidth, kChatMinHeight);
}

void CSendMsgDlg::buildMenu() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    QMenu* menu = menuBar_->addMenu(QString::fromUtf8(chat::kMenuTitle));
    menu->setObjectName(QStringLiteral("menu251"));
    for (const chat::MenuItem& item : chat::kMenu) {
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromUtf8(item.text));
        action->setData(item.id);
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { command(id); });
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                action->setEnabled(commandEnabled(action->data().toInt()));
            }
        }
    });
}

void CSendMsgDlg::layOut() {
    const int bar = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, width(), bar);
    client_->setGeometry(0, bar, width(), height() - bar);
    const int w = client_->width();
    const int h = client_->height();
    const int p = paneWidth();
    const ChatLayout layout = LayChat(w, h, p);
    for (int i = 0; i < 4; ++i) {
        topButtons_[i]->setGeometry(layout.topButtons[i]);
    }
    nick_->setGeometry(11, 60, std::max(0, w - p - 28), 22);
    QRect display = layout.display;
    if (bottomStrip_ != nullptr) {
        const int stripHeight = bottomStrip_->sizeHint().height();
        display.setHeight(std::max(0, display.height() - stripHeight));
        bottomStrip_->setGeometry(display.left(), display.bottom() + 1, display.width(),
                                  stripHeight);
    }
    display_->setGeometry(display);
    fontButton_->setGeometry(layout.font);
    colourButton_->setGeometry(layout.colour);
    quickButton_->setGeometry(layout.quickReply);
    emoticonButton_->setGeometry(layout.emoticon);
    input_->setGeometry(layout.input);
    sendButton_->setGeometry(layout.send);
    paneToggle_->setGeometry(layout.paneToggle);
    paneToggle_->setText(paneShown_ ? QStringLiteral("›") : QStringLiteral("‹"));
    pictures_->setGeometry(layout.pane);
    pictures_->setVisible(paneShown_ && !videoShown_);
    if (video_ != nullptr) {
        video_->setGeometry(layout.pane);
        video_->setVisible(paneShown_ && videoShown_);
    }
}

int CSendMsgDlg::paneWidth() const {
    if (!paneShown_) {
        return 0;
    }
    return videoShown_ ? kVideoPaneWidth : kPicturePaneWidth;
}

void CSendMsgDlg::setVideoPane(QWidget* pane) {
    video_ = pane;
    pane->setParent(client_);
    layOut();
}

void CSendMsgDlg::showVideoPane(bool shown) {
    videoShown_ = shown && video_ != nullptr;
    layOut();
}

void CSendMsgDlg::setBottomStrip(QWidget* strip) {
    bottomStrip_ = strip;
    if (strip != nullptr) {
        strip->setParent(client_);
        strip->show();
    }
    layOut();
}

void CSendMsgDlg::togglePane() {
    paneShown_ = !paneShown_;
    layOut();
}

void CSendMsgDlg::placeOpened(bool fromIncoming) {
    const QRect screen = QGuiApplication::primaryScreen() != nullptr
                             ? QGuiApplication::primaryScreen()->geometry()
                             : QRect(0, 0, 1024, 768);
    setGeometry((screen.width() - 777) / 2 + 100, (screen.height() - 500) / 2, 517, 440);
    layOut();
    if (fromIncoming) {
        showMinimized();
        QApplication::alert(this);
    } else {
        show();
        input_->setFocus();
    }
}

void CSendMsgDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layOut();
    placeHistory();
}

void CSendMsgDlg::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    placeHistory();
}

QString CSendMsgDlg::ownNick() const {
    return FromGbk(main_.own().record.nick);
}

QString CSendMsgDlg::peerNick() const {
    return nickText_;
}

void CSendMsgDlg::refreshContact() {
    const ContactRecord* record = contact();
    if (record != nullptr) {
        nickText_ = FromGbk(record->nick);
        profileText_ = FromGbk(record->profileText[7]);
    }
    const uint32_t status = record != nullptr ? record->status : kStatusOffline;
    setWindowTitle(ChatTitle(nickText_));
    const QString label = NickLabelText(nickText_, profileText_, status);
    // A link of the label's own making; the nick and profile are escaped as text.
    nick_->setTextFormat(Qt::RichText);
    nick_->setText(QStringLiteral("<a href=\"profile\">") + label.toHtmlEscaped() +
                   QStringLiteral("</a>"));
    pictures_->setPictures(record != nullptr ? record->pictureIndex : 0,
                           main_.own().record.pictureIndex);
}

void CSendMsgDlg::replaceInput(const QString& text) {
    input_->clear();
    input_->setCurrentCharFormat(SharedChatFormat());
    input_->insertWithPictures(text);
    input_->setFocus();
}

uint32_t CSendMsgDlg::route(const MessageRecord& message) {
    return main_.peers().sendChatMessage(message.kind, message.peerId, encodeMessageBody(message),
                                         (message.flags & kMessageViaServer) != 0);
}

void CSendMsgDlg::store(const MessageRecord& message) {
    chats().store(message);
}

ChatPart& CSendMsgDlg::chats() const {
    return *main_.routes().chat;
}

std::size_t CSendMsgDlg::pendingServer() const {
    return chats().outbox().waitingFor(key);
}

void CSendMsgDlg::sendViaServer(MessageRecord message) {
    message.flags |= kMessageViaServer;
    main_.peers().dropMessageQueue(key);
    key2 = route(message);
    chats().outbox().add(key2, message);
}

void CSendMsgDlg::send() {
    const QString text = input_->textWithCodes();
    switch (CheckOutgoing(text)) {
    case SendRefusal::Empty:
        main_.ui().error(this, QString::fromUtf8(chat::kEmptyMessage));
        return;
    case SendRefusal::TooLong:
        main_.ui().information(this, QString::fromUtf8(chat::kTooLong));
        return;
    case SendRefusal::NotGbk:
        main_.ui().information(this, NotGbkMessage(FirstNonGbk(text)));
        return;
    case SendRefusal::None:
        break;
    }
    MessageRecord message;
    message.kind = kMessageKindFormatted;
    message.peerId = key;
    message.time = static_cast<uint32_t>(main_.peers().clock().now());
    message.text = *ToGbk(text);
    const QTextCharFormat format = input_->currentCharFormat();
    const QFont font = format.font();
    message.font =
        MessageFontOf(font.family(), font.pointSizeF() > 0 ? font.pointSizeF() : 9, font.bold(),
                      font.italic(), font.underline(), format.foreground().color());
    const ContactRecord* record = contact();
    if (record == nullptr || record->status == kStatusOffline) {
        // The server keeps it for the peer's next login: nothing waits for the peer's session.
        sendViaServer(message);
    } else {
        key2 = route(message);
        if (key2 > 0xFFFF) {
            direct_.push_back({key2, message});
            fallback_.start(kFallbackMs);
        } else {
            chats().outbox().add(key2, message);
        }
    }
    showOwn(message);
    input_->clear();
    input_->setCurrentCharFormat(format);
    input_->setFocus();
}

void CSendMsgDlg::showOwn(const MessageRecord& message) {
    display_->appendMessage(MessageHeader(ownNick(), message.time), QColor(kOwnHeader),
                            FromGbk(message.text), ShownFontOf(message.font));
}

void CSendMsgDlg::showIncoming(const MessageRecord& message) {
    if (!isActiveWindow()) {
        if (SoundReceiver* sounds = main_.routes().sounds) {
            sounds->playSoundEvent(kMessageArrivedSound);
        }
        QApplication::alert(this);
    }
    const std::optional<ShownFont> font =
        message.kind == kMessageKindFormatted ? ShownFontOf(message.font) : std::nullopt;
    display_->appendMessage(MessageHeader(peerNick(), message.time), QColor(kPeerHeader),
                            FromGbk(message.text), font);
}

void CSendMsgDlg::onPeerAcked(uint32_t number) {
    auto it = std::find_if(direct_.begin(), direct_.end(),
                           [number](const Pending& p) { return p.number == number; });
    if (it == direct_.end()) {
        return;
    }
    store(it->message);
    direct_.erase(it);
    if (direct_.empty()) {
        fallback_.stop();
    }
}

void CSendMsgDlg::onFallbackTimer() {
    fallback_.stop();
    std::vector<Pending> unanswered;
    unanswered.swap(direct_);
    for (Pending& entry : unanswered) {
        sendViaServer(entry.message);
    }
}

void CSendMsgDlg::askResend(const MessageRecord& message) {
    QPointer<CSendMsgDlg> self(this);
    main_.ui().askSendError(
        this, QString::fromUtf8(chat::kServerTimeout), [self, message](bool resend) {
            if (!self || !resend) {
                return;
            }
            // Sent again as its text alone, without the font fields.
            MessageRecord copy = message;
            copy.kind = kMessageKindFormatted;
            const uint32_t seq =
                self->main_.client().sendMessage(kMessageKindFormatted, copy.peerId, copy.text);
            self->key2 = seq;
            self->chats().outbox().add(seq, copy);
        });
}

CHistoryChatDlg* CSendMsgDlg::history() const {
    return dynamic_cast<CHistoryChatDlg*>(
        main_.windows().findWindow(CHistoryChatDlg::kWindowType, key, 0));
}

void CSendMsgDlg::toggleHistory() {
    if (CHistoryChatDlg* open = history()) {
        delete open;
        historyButton_->setChecked(false);
        return;
    }
    historyButton_->setChecked(true);
    auto* strip = new CHistoryChatDlg(main_, key, this);
    placeHistory();
    strip->show();
}

void CSendMsgDlg::placeHistory() {
    if (CHistoryChatDlg* strip = history()) {
        const QRect frame = frameGeometry();
        strip->setGeometry(frame.left(), frame.bottom() + 1, frame.width(),
                           CHistoryChatDlg::kStripHeight);
    }
}

void CSendMsgDlg::insertEmoticon(int index) {
    input_->insertEmoticon(index);
    input_->setFocus();
}

void CSendMsgDlg::openEmoticonPicker() {
    auto* picker = new CImageSelector(this);
    connect(picker, &CImageSelector::chosen, this, &CSendMsgDlg::insertEmoticon);
    picker->move(emoticonButton_->mapToGlobal(QPoint(0, emoticonButton_->height())));
    picker->show();
}

void CSendMsgDlg::chooseFont() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, input_->currentCharFormat().font(), this);
    if (ok) {
        QTextCharFormat format = input_->currentCharFormat();
        format.setFont(font);
        input_->setCurrentCharFormat(format);
    }
    input_->setFocus();
}

void CSendMsgDlg::chooseColour() {
    const QColor colour =
        QColorDialog::getColor(input_->currentCharFormat().foreground().color(), this);
    if (colour.isValid()) {
        input_->setTextColor(colour);
    }
    input_->setFocus();
}

bool CSendMsgDlg::commandEnabled(int id) const {
    const ContactRecord* record = contact();
    const bool peerReachable = record != nullptr && record->status != kStatusOffline;
    switch (id) {
    case chat::kCmdExport:
        return true;
    case chat::kCmdUndo:
        return input_->document()->isUndoAvailable();
    case chat::kCmdCut:
    case chat::kCmdCopy:
        return input_->textCursor().hasSelection();
    case chat::kCmdPaste:
        return input_->canPaste();
    case chat::kCmdFile:
    case chat::kCmdVoice:
    case chat::kCmdVideo:
        return peerReachable;
    case chat::kCmdClear:
        return !display_->document()->isEmpty();
    default:
        return true;
    }
}

void CSendMsgDlg::command(int id) {
    if (id >= chat::kCmdEmoticonFirst && id < chat::kCmdEmoticonFirst + 65) {
        insertEmoticon(id - chat::kCmdEmoticonFirst);
        return;
    }
    if (id == kCustomiseCommand ||
        (id >= kQuickPhrases.firstId && id < kQuickPhrases.firstId + kPhraseCommandsHandled)) {
        quickReplies_->choose(id);
        return;
    }
    switch (id) {
    case chat::kCmdExport:
        ExportChatHistory(main_, key, nickText_, this);
        break;
    case chat::kCmdHistory:
        toggleHistory();
        break;
    case chat::kCmdClose:
        close();
        break;
    case chat::kCmdUndo:
        input_->undo();
        break;
    case chat::kCmdCut:
        input_->cut();
        break;
    case chat::kCmdCopy:
        input_->copy();
        break;
    case chat::kCmdPaste:
        input_->paste();
        break;
    case chat::kCmdFile:
    case chat::kCmdVoice:
    case chat::kCmdVideo: {
        const ContactRecord* record = contact();
        if (record == nullptr || record->status == kStatusOffline) {
            main_.ui().information(this, QString::fromUtf8(id == chat::kCmdFile ? chat::kOfflineFile
                                                           : id == chat::kCmdVoice
                                                               ? chat::kOfflineVoice
                                                               : chat::kOfflineVideo));
            break;
        }
        emit mediaRequested(id);
        break;
    }
    case chat::kCmdFont:
        chooseFont();
        break;
    case chat::kCmdColour:
        chooseColour();
        break;
    case chat::kCmdClear:
        display_->clear();
        break;
    default:
        break;
    }
}

void CSendMsgDlg::reject() {
    close();
}

void CSendMsgDlg::closeEvent(QCloseEvent* event) {
    auto refuse = [&](const char* question) {
        return !main_.ui().warning(this, QString::fromUtf8(question));
    };
    const bool fileRunning = main_.windows().findWindow(kFileWindowType, key, 0) != nullptr;
    if ((!direct_.empty() && refuse(chat::kCloseWhileSending)) ||
        (fileRunning && refuse(chat::kCloseWhileFile)) ||
        (voiceRunning && refuse(chat::kCloseWhileVoice)) ||
        (videoRunning && refuse(chat::kCloseWhileVideo))) {
        event->ignore();
        return;
    }
    emit closingAccepted();
    // What the peer has not answered yet goes through the server, whose acknowledgement stores
    // it once this window is gone.
    onFallbackTimer();
    SharedChatFormat() = input_->currentCharFormat();
    delete history();
    event->accept();
}

} // namespace talmor
