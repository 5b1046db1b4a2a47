// A subscriber search whose replies fill all 100 pages of the results page: each "下页" asks
// the server (played by the console's test harness) and a reply of 60 subscribers comes back;
// then the operator pages back through every stored reply and forward again. Each click and
// each reply is one turn of the event loop of the shown wizard (offscreen platform); a 1 ms
// timer measures the longest stall. The same replies stored and paged by the bare SearchPaging,
// rows built but nothing shown, are the reference of the same run. Goal: no stall over 50 ms.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "console/commandids.h"
#include "eventloopsteps.h"
#include "kit/resultlistmodel.h"
#include "messaging/messagingparts.h"
#include "messaging/searchconditionsdlg.h"
#include "messaging/searchpaging.h"
#include "messaging/searchresultsdlg.h"
#include "messaging/searchwizarddlg.h"
#include "protocol/commands.h"
#include "support/consoleharness.h"

namespace talmor {
namespace {

constexpr int kPages = 100;
constexpr uint32_t kPerReply = 60;
constexpr uint32_t kFirstId = 100000;

std::vector<SearchEntryA> Reply(int page) {
    std::vector<SearchEntryA> entries;
    for (uint32_t i = 0; i < kPerReply; ++i) {
        const uint32_t id = kFirstId + static_cast<uint32_t>(page) * kPerReply + i;
        entries.push_back({id, static_cast<uint8_t>(i % 2),
                           testing::Gbk("居民") + std::to_string(id), testing::Gbk("张建国"),
                           static_cast<uint8_t>(1 + i % 2), static_cast<uint8_t>(60 + i % 30),
                           testing::Gbk("科技园社区3栋502")});
    }
    return entries;
}

// The bare reference: rows built and stored as replies, then paged back and forth.
Figures RunBare(const std::vector<std::vector<SearchEntryA>>& replies) {
    SearchPaging paging;
    QElapsedTimer clock;
    Figures figures;
    const auto timed = [&](const std::function<void()>& step) {
        clock.start();
        step();
        const double ms = Ms(clock.nsecsElapsed());
        figures.totalMs += ms;
        figures.longestMs = std::max(figures.longestMs, ms);
    };
    for (const auto& reply : replies) {
        timed([&] { paging.addReply(RowsOf(reply)); });
    }
    for (int page = 1; page < kPages; ++page) {
        timed([&] { paging.previous(); });
    }
    for (int page = 1; page < kPages; ++page) {
        timed([&] { paging.next(); });
    }
    return figures;
}

int Run() {
    testing::EnsureApplication();
    std::vector<std::vector<SearchEntryA>> replies;
    for (int page = 0; page < kPages; ++page) {
        replies.push_back(Reply(page));
    }

    testing::ConsoleHarness h;
    InstallMessagingParts(h.window());
    h.login();
    h.window().show();
    h.window().onCommand(cmd::kAddSubscriber);
    auto* wizard = dynamic_cast<CSearchWizardDlg*>(h.window().findWindow(29, 0, 0));
    if (wizard == nullptr) {
        std::printf("no wizard opened\n");
        return 1;
    }
    wizard->show();
    wizard->findChild<QLineEdit*>(QStringLiteral("1047"))->setText(QStringLiteral("a@b.c"));
    wizard->conditions().nextButton().click();
    CSearchResultsDlg& results = wizard->results();
    QCoreApplication::processEvents();

    // The reply to the request just sent: the server's acknowledgement names its seq.
    const auto answer = [&h](const std::vector<SearchEntryA>& reply) {
        uint16_t seq = 0;
        for (const testing::Sent& sent : h.takeSent()) {
            if (sent.command == CMD_SEARCH_USERS) {
                seq = sent.seq;
            }
        }
        h.deliver(
            CMD_SEARCH_RESULT_A, [&](OutPacket& out) { writeList(out, reply); }, seq);
    };
    std::vector<std::function<void()>> fill;
    for (int page = 0; page < kPages; ++page) {
        if (page > 0) {
            fill.push_back([&results] { results.nextButton().click(); });
        }
        fill.push_back(
            [&answer, &replies, page] { answer(replies[static_cast<std::size_t>(page)]); });
    }
    std::vector<std::function<void()>> paging;
    for (int page = 1; page < kPages; ++page) {
        paging.push_back([&results] { results.previousButton().click(); });
    }
    for (int page = 1; page < kPages; ++page) {
        paging.push_back([&results] { results.nextButton().click(); });
    }

    const Figures filled = RunInEventLoop(fill);
    const Figures paged = RunInEventLoop(paging);
    const Figures bare = RunBare(replies);
    const bool complete = results.paging().stored() == kPages &&
                          results.paging().current() == kPages - 1 &&
                          results.rows().idAt(0) == kFirstId + (kPages - 1) * kPerReply &&
                          !results.nextButton().isEnabled();

    std::printf("%d replies of %u subscribers, stored: %d, all pages shown: %s\n", kPages,
                kPerReply, results.paging().stored(), complete ? "yes" : "NO");
    std::printf("  results page, asking and storing (protocol, model, shown list): %8.1f ms "
                "total, longest event-loop stall %6.2f ms\n",
                filled.totalMs, filled.longestMs);
    std::printf("  results page, paging back and forth through 100 pages:          %8.1f ms "
                "total, longest event-loop stall %6.2f ms\n",
                paged.totalMs, paged.longestMs);
    std::printf("  bare SearchPaging with rows (reference):                        %8.1f ms "
                "total, longest step %6.3f ms\n",
                bare.totalMs, bare.longestMs);
    const double worst = std::max(filled.longestMs, paged.longestMs);
    std::printf("goal: no stall over 50 ms: %s (%.2f ms)\n", worst <= 50.0 ? "met" : "MISSED",
                worst);
    return complete ? 0 : 1;
}

} // namespace
} // namespace talmor

int main() {
    return talmor::Run();
}
