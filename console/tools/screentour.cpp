// The console's tour for docs/screenshots/: operator 1024 logs in to a running quorvane-server,
// calls are injected through its control API, and the screens an operator works with are
// photographed from the X display: the message box of a new call, the call panes, the status
// line with the oldest wait, the processing list with its handling menu, the family SMS window,
// the work pane with a page, the handling journal, the three pages of the options sheet and the
// subscriber search wizard's conditions and results pages, a chat window with emoticons
// above its history strip showing a search, a chat window with a file arriving, and a chat
// window with the strip of a voice talk with operator 1025, who logs in from a second
// console in this process; last the question before quitting with calls waiting, and the
// console offline.
//
// talmor_screentour HTTP_PORT OUT_FOLDER (TALMOR_HOME names the application folder, whose INI
// points at the server).
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QMenu>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QWebEngineView>

#include <array>
#include <cstdio>
#include <functional>
#include <memory>

#include "calls/callintake.h"
#include "calls/calljournaldlg.h"
#include "calls/callpane.h"
#include "calls/callparts.h"
#include "calls/handlingreceiver.h"
#include "calls/operatorsafety.h"
#include "calls/procdlg.h"
#include "calls/proclistmodel.h"
#include "calls/specialsmssend.h"
#include "console/calltabstrip.h"
#include "console/commandids.h"
#include "console/options/optionparts.h"
#include "console/options/optionsheet.h"
#include "console/qtconsoleui.h"
#include "console/qtenvironment.h"
#include "console/qttranslations.h"
#include "console/talmormanagerapp.h"
#include "console/talmormanagerdlg.h"
#include "kit/gbktext.h"
#include "kit/optionsheetentry.h"
#include "media/file/filepart.h"
#include "media/file/filetransfer.h"
#include "media/file/sendfiledlg.h"
#include "media/mediaparts.h"
#include "media/voice/voicepart.h"
#include "messaging/chat/chatnotices.h"
#include "messaging/chat/chatpart.h"
#include "messaging/chat/historychatdlg.h"
#include "messaging/chat/msgedit.h"
#include "messaging/chat/msgview.h"
#include "messaging/chat/sendmsgdlg.h"
#include "messaging/messagingparts.h"
#include "messaging/searchconditionsdlg.h"
#include "messaging/searchresultsdlg.h"
#include "messaging/searchwizarddlg.h"
#include "widgets/colorlabel.h"

namespace {

using talmor::CTalmorManagerDlg;

// The real dialogs, except that the agreement of a first login is accepted.
class TourUi : public talmor::QtConsoleUi {
public:
    using QtConsoleUi::QtConsoleUi;
    bool runAgreement(QWidget*, const QUrl&) override { return true; }
};

// Lets the event loop run until `done` holds or `ms` pass; false on time-out.
bool WaitUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void Pause(int ms) {
    WaitUntil([] { return false; }, ms);
}

class Tour {
public:
    Tour(CTalmorManagerDlg& window, quint16 httpPort, QString out)
        : window_(window), httpPort_(httpPort), out_(std::move(out)) {}

    // False when a step did not come about; the message says which.
    bool run() {
        if (!step(
                "the console is ready", [&] { return window_.ready(); }, 30000)) {
            return false;
        }
        Pause(3000);
        // Waiting calls of several kinds; the last one's message box is photographed.
        for (const char* call :
             {"category=0&user=2001", "category=0&user=2002", "category=1&user=2003",
              "category=5&user=2004", "category=1&user=2005"}) {
            if (!inject(call)) {
                return false;
            }
        }
        talmor::CallIntake& intake = *window_.routes().intake;
        if (!step(
                "the calls are listed",
                [&] { return intake.pane(0).rowCount() >= 2 && intake.pane(1).rowCount() >= 2; },
                10000)) {
            return false;
        }
        Pause(1500);
        grabScreen("call-message-box");
        Pause(6000);
        window_.tabStrip().select(1, window_.seatRights());
        Pause(500);
        grabScreen("call-panes");
        // The status line: the seed's SOS calls have waited for minutes, so the wait is red.
        const QWidget& waiting = intake.safety().waitingLabel();
        const QPoint corner = waiting.mapToGlobal(QPoint(0, 0));
        grabArea("waiting-time", QRect(0, corner.y() - 12, corner.x() + waiting.width() + 40,
                                       waiting.height() + 24));

        // Two calls taken into the processing list, then its handling menu.
        auto* handling = dynamic_cast<talmor::CallHandling*>(window_.routes().handling);
        talmor::CProcDlg& list = handling->list();
        for (int code : {0, 1}) {
            window_.tabStrip().select(code, window_.seatRights());
            intake.pane(code).view()->selectRow(0);
            intake.pane(code).takeSelectedCall();
        }
        if (!step(
                "the calls are taken", [&] { return list.model().rowCount() >= 2; }, 5000)) {
            return false;
        }
        list.view()->selectRow(0);
        QMenu* menu = list.contextMenu();
        const QRect row = list.view()->visualRect(list.model().index(0, 2));
        menu->popup(list.view()->viewport()->mapToGlobal(row.center()));
        Pause(800);
        grabScreen("processing-menu");
        menu->close();

        // The family SMS window of the first taken call, with its relatives listed.
        const talmor::CallRecord call = *list.selectedRecord();
        handling->openFamilySms(call.callId, call.userId, call.userName, call.phone);
        Pause(2000);
        if (QWidget* sms = dynamic_cast<QWidget*>(window_.windows().findWindow(
                talmor::CSpecialSmsSend::kWindowType, call.callId, 0))) {
            grabWidget("family-sms", *sms);
            // Sent, so that the training server's call records and SMS log below hold it; the
            // window goes by itself once the server confirms.
            QPointer<QWidget> open(sms);
            auto* window = dynamic_cast<talmor::CSpecialSmsSend*>(sms);
            if (window != nullptr && window->familyTree()->topLevelItemCount() > 0) {
                window->familyTree()->topLevelItem(0)->setCheckState(0, Qt::Checked);
                window->edit()->setPlainText(QString::fromUtf8("已通知社区医生上门查看"));
                for (QPushButton* button : window->findChildren<QPushButton*>()) {
                    if (button->text() == QString::fromUtf8("确定(&S)")) {
                        button->click();
                        break;
                    }
                }
                Pause(2000);
            }
            if (open) {
                open->close();
            }
        } else {
            std::fprintf(stderr, "screentour: the family SMS window did not open\n");
            return false;
        }

        // A back-office page in the work pane ("当前操作").
        window_.onCommand(1017);
        Pause(4000);
        grabScreen("work-pane");
        // The training server's own pages: call records, SMS log and the subscriber form.
        const std::pair<int, const char*> pages[] = {{1011, "work-pane-call-records"},
                                                     {1020, "work-pane-sms-log"},
                                                     {1008, "work-pane-create-subscriber"}};
        for (const auto& [command, name] : pages) {
            window_.onCommand(command);
            Pause(3000);
            grabScreen(name);
        }
        // A trainer's live view of the server beside the console.
        QWebEngineView live;
        live.setWindowTitle(QString::fromUtf8("值班监控"));
        live.resize(900, 640);
        live.load(QUrl(QString("http://127.0.0.1:%1/supervisor").arg(httpPort_)));
        live.show();
        Pause(4000);
        grabWidget("live-view", live);
        live.close();

        // The handling journal of every step so far.
        window_.onCommand(talmor::OperatorSafety::kJournalCommand);
        Pause(1500);
        if (QWidget* journal = intake.safety().journalWindow()) {
            grabWidget("call-journal", *journal);
            journal->close();
        } else {
            std::fprintf(stderr, "screentour: the journal window did not open\n");
            return false;
        }
        return grabOptionPages() && searchWizard() && chat() && fileTransfer() && voiceTalk() &&
               quitQuestion() && offline();
    }

    // 系统 > 退出 with SOS and help calls waiting: the question names how many; "否" keeps the
    // console running.
    bool quitQuestion() {
        bool asked = false;
        QTimer::singleShot(1500, &window_, [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                asked = true;
                grabWidget("quit-question", *box);
                if (auto* question = dynamic_cast<QMessageBox*>(box)) {
                    question->button(QMessageBox::No)->click();
                }
            }
        });
        window_.onCommand(talmor::cmd::kExit);
        if (!asked) {
            std::fprintf(stderr, "screentour: quitting asked nothing\n");
        }
        return asked;
    }

    // Offline after a login: the strip over the panes and the red status line.
    bool offline() {
        window_.tabStrip().select(1, window_.seatRights());
        window_.SetOffline();
        Pause(1500);
        grabScreen("offline-state");
        return true;
    }

    // Operator 1025 logs in from a second console, accepts 1024's voice request, and the chat
    // window shows the strip of the running talk.
    bool voiceTalk() {
        talmor::QtEnvironment environment;
        TourUi ui(window_.deployment(), false);
        CTalmorManagerDlg peer(environment.services(), window_.deployment(), ui, false);
        environment.setTimerTarget([&peer](int id) { peer.onTimer(id); });
        talmor::InstallMessagingParts(peer);
        talmor::InstallMediaParts(peer);
        if (!peer.StartLogin(1025, "talmor1025") ||
            !step(
                "the second console is ready", [&] { return peer.ready(); }, 30000)) {
            return false;
        }
        auto* chats = window_.routes().chat;
        auto* peerChats = peer.routes().chat;
        auto* voice = dynamic_cast<talmor::VoicePart*>(window_.routes().voice);
        const bool online = step(
            "1025 is online",
            [&] {
                const talmor::ContactRecord* record = window_.contacts().find(1025);
                return record != nullptr && record->status == talmor::kStatusOnline;
            },
            10000);
        chats->openChat(1025, talmor::MessagingReceiver::ChatStart::Voice);
        const bool offered = online && step(
                                           "the voice request arrives",
                                           [&] {
                                               // The chat may be open already with the messages
                                               // 1024 left while 1025 was away.
                                               const talmor::CSendMsgDlg* chat =
                                                   peerChats->findChat(1024);
                                               return chat != nullptr && chat->voiceRunning;
                                           },
                                           10000);
        if (offered) {
            emit peerChats->findChat(1024)->display().notification(talmor::kAcceptVoice);
        }
        const bool talking =
            offered && step(
                           "the talk runs", [&] { return voice->strip(1025) != nullptr; }, 15000);
        if (talking) {
            talmor::CSendMsgDlg* open = chats->findChat(1025);
            open->showNormal();
            open->raise();
            Pause(1500);
            grabWidget("chat-voice", *open);
            emit open->display().notification(talmor::kCancelVoice);
        }
        delete peerChats->findChat(1024);
        Pause(500);
        return talking;
    }

    // A conversation with 值班员小李 (1025): messages with emoticons arrive and are answered,
    // then the history strip below the window finds a word.
    bool chat() {
        auto* chats = window_.routes().chat;
        const uint32_t peer = 1025;
        const char* lines[] = {
            "小王，3号楼张大爷的求助处理好了吗？/疑问", "刚派人上门了，120也到了 /微笑",
            "辛苦了 /大笑/花朵 晚上交班前把记录补一下", "好的，记录已补上 /红心"};
        const uint32_t start = static_cast<uint32_t>(QDateTime::currentSecsSinceEpoch()) - 600;
        for (int i = 0; i < 4; ++i) {
            talmor::MessageRecord message;
            message.peerId = peer;
            message.time = start + static_cast<uint32_t>(i) * 90;
            message.text = *talmor::ToGbk(QString::fromUtf8(lines[i]));
            if (i % 2 == 0) {
                message.flags = talmor::kMessageFromPeer | talmor::kMessageViaServer;
                window_.OnMessage(message);
            } else {
                chats->chatWith(peer, false);
                talmor::CSendMsgDlg* open = chats->findChat(peer);
                open->input().clear();
                open->input().insertWithPictures(QString::fromUtf8(lines[i]));
                open->send();
            }
        }
        talmor::CSendMsgDlg* open = chats->chatWith(peer, false);
        open->showNormal();
        open->move(360, 80);
        open->input().insertWithPictures(QString::fromUtf8("明天见 /太阳"));
        Pause(1000);
        grabWidget("chat-window", *open);
        open->toggleHistory();
        talmor::CHistoryChatDlg* strip = open->history();
        if (strip == nullptr) {
            std::fprintf(stderr, "screentour: the history strip did not open\n");
            return false;
        }
        strip->search(QString::fromUtf8("记录"));
        Pause(1000);
        const QRect both = open->frameGeometry().united(strip->frameGeometry());
        save("chat-history-search", QGuiApplication::primaryScreen()->grabWindow(
                                        0, both.x(), both.y(), both.width(), both.height()));
        return true;
    }

    // 值班员小李 offers a photo of a case; the strip along the bottom of the chat display shows
    // it moving.
    bool fileTransfer() {
        auto* files = dynamic_cast<talmor::FilePart*>(window_.routes().file);
        auto* chats = window_.routes().chat;
        const uint32_t peer = 1025;
        const uint32_t size = 3481600;
        window_.OnFileOffer(peer, size,
                            *talmor::ToGbk(QString::fromUtf8("3号楼张大爷现场照片.jpg")));
        talmor::CSendFileDlg* strip = files != nullptr ? files->strip(peer) : nullptr;
        talmor::CSendMsgDlg* open = chats->findChat(peer);
        if (strip == nullptr || open == nullptr) {
            std::fprintf(stderr, "screentour: the transfer strip did not open\n");
            return false;
        }
        open->showNormal();
        open->move(360, 80);
        for (uint32_t done = 0; done <= 1433600; done += 2048) {
            strip->showProgress(size, done);
            if (done % (2048 * 100) == 0) {
                Pause(100);
            }
        }
        strip->refresh();
        Pause(500);
        grabWidget("file-transfer", *open);
        // Nothing is left running to hold the tour's end with the closing question.
        files->transfer(peer)->cancel();
        return true;
    }

private:
    // The three pages of the options sheet, each as the sheet opens on it.
    bool grabOptionPages() {
        auto* runner = dynamic_cast<talmor::OptionSheetRunner*>(window_.routes().options);
        const std::array<const char*, 3> names = {"options-system", "options-sound", "options-sms"};
        for (std::size_t page = 0; page < names.size(); ++page) {
            bool grabbed = false;
            QTimer::singleShot(0, [&] {
                if (talmor::COptionSheet* sheet = runner->sheet()) {
                    Pause(1000);
                    grabWidget(names[page], *sheet);
                    grabbed = true;
                    sheet->reject();
                }
            });
            talmor::OpenOptionsSheet(window_, &window_, static_cast<talmor::OptionPage>(page));
            if (!grabbed) {
                std::fprintf(stderr, "screentour: the options sheet did not open\n");
                return false;
            }
        }
        return true;
    }

    // The subscriber search: its conditions in the combined mode, then the first reply.
    bool searchWizard() {
        window_.onCommand(talmor::cmd::kAddSubscriber);
        auto* wizard = dynamic_cast<talmor::CSearchWizardDlg*>(window_.findWindow(29, 0, 0));
        if (wizard == nullptr) {
            std::fprintf(stderr, "screentour: the search wizard did not open\n");
            return false;
        }
        wizard->conditions().setCombined(true);
        Pause(1000);
        grabWidget("search-conditions", *wizard);
        wizard->conditions().nextButton().click();
        if (!step(
                "the search is answered", [&] { return wizard->results().paging().stored() > 0; },
                10000)) {
            return false;
        }
        wizard->results().list().selectRow(1);
        Pause(1000);
        grabWidget("search-results", *wizard);
        wizard->close();
        return true;
    }

    bool step(const char* what, const std::function<bool()>& done, int ms) {
        if (WaitUntil(done, ms)) {
            return true;
        }
        std::fprintf(stderr, "screentour: timed out waiting until %s\n", what);
        return false;
    }

    bool inject(const char* query) {
        QNetworkRequest request(QUrl(QString("http://127.0.0.1:%1/api/calls/inject?%2")
                                         .arg(httpPort_)
                                         .arg(QString::fromLatin1(query))));
        request.setRawHeader("X-Quorvane-Control", "1");
        QNetworkReply* reply = network_.post(request, QByteArray());
        const bool answered = WaitUntil([reply] { return reply->isFinished(); }, 5000);
        const bool ok = answered && reply->error() == QNetworkReply::NoError;
        reply->deleteLater();
        if (!ok) {
            std::fprintf(stderr, "screentour: the server did not take call %s\n", query);
        }
        return ok;
    }

    void save(const char* name, const QPixmap& picture) {
        const QString path = out_ + "/" + name + ".png";
        picture.save(path);
        std::printf("screentour: %s\n", qPrintable(path));
    }

    void grabScreen(const char* name) {
        QScreen* screen = QGuiApplication::primaryScreen();
        save(name, screen->grabWindow(0));
    }

    void grabArea(const char* name, const QRect& area) {
        save(name, QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(),
                                                                area.height()));
    }

    void grabWidget(const char* name, const QWidget& widget) {
        const QRect frame = widget.frameGeometry();
        save(name, QGuiApplication::primaryScreen()->grabWindow(0, frame.x(), frame.y(),
                                                                frame.width(), frame.height()));
    }

    CTalmorManagerDlg& window_;
    quint16 httpPort_;
    QString out_;
    QNetworkAccessManager network_;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    // Qt's own texts in Chinese, as the console has them.
    const std::unique_ptr<QTranslator> qtTexts = talmor::InstallQtTranslations();
    if (argc != 3) {
        std::fprintf(stderr, "usage: talmor_screentour HTTP_PORT OUT_FOLDER\n");
        return 2;
    }
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(QFont("Noto Sans CJK SC", 9));
    QDir().mkpath(argv[2]);

    talmor::QtEnvironment environment;
    talmor::CTalmorManagerApp app;
    TourUi ui(app.deployment(), true);
    environment.setTimerTarget([&app](int id) {
        if (CTalmorManagerDlg* window = app.mainWindow()) {
            window->onTimer(id);
        }
    });
    const auto installParts = [](CTalmorManagerDlg& window) {
        talmor::InstallCallParts(window);
        talmor::InstallMessagingParts(window);
        talmor::InstallMediaParts(window);
        talmor::InstallOptionParts(window);
    };
    const std::string folder = QCoreApplication::applicationDirPath().toStdString();
    if (!app.InitInstance("\"quorvane://login/?uid=1024&pw=talmor1024\"", folder, ui,
                          environment.services(), true, installParts)) {
        return 1;
    }
    Tour tour(*app.mainWindow(), static_cast<quint16>(QString(argv[1]).toUInt()), argv[2]);
    int result = 1;
    QTimer::singleShot(0, [&] {
        result = tour.run() ? 0 : 1;
        app.mainWindow()->quitConsole();
    });
    application.exec();
    return result;
}
