// The console the journal crash test kills: its main window with the call parts, logged in as
// operator 1024 to the quorvane-server at the given ports, keeping its data in FOLDER. It takes
// the first SOS call of subscriber 2008, reports it, and once the server confirmed the report
// prints "confirmed <callId>" and waits to be killed.
//   talmor_journal_child UDP-PORT HTTP-PORT FOLDER
#include <QCoreApplication>
#include <QTableView>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "calls/callintake.h"
#include "calls/calllistmodel.h"
#include "calls/callpane.h"
#include "calls/operatorsafety.h"
#include "console/talmormanagerdlg.h"
#include "kit/appfolders.h"
#include "support/liveconsole.h"
#include "support/qtapp.h"

namespace {

constexpr int kSos = 1;
constexpr uint32_t kCaller = 2008;

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

bool Confirmed(talmor::e2e::LiveConsole& console, uint32_t callId) {
    talmor::storage::JournalFilter filter;
    filter.callId = callId;
    std::vector<talmor::storage::JournalEntry> entries;
    console.intake().safety().journal().query(filter, entries);
    return !entries.empty() && entries.back().step == talmor::storage::JournalStep::Confirmed;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: talmor_journal_child UDP-PORT HTTP-PORT FOLDER\n");
        return 2;
    }
    talmor::testing::EnsureApplication();
    talmor::e2e::LiveConsole console(static_cast<uint16_t>(std::atoi(argv[1])),
                                     static_cast<uint16_t>(std::atoi(argv[2])));
    std::string folder = argv[3];
    folder += '/';
    talmor::setApplicationFolders({folder, folder});
    console.login(1024, "talmor1024");

    uint32_t callId = 0;
    bool ready = false;
    bool reported = false;
    QTimer step;
    QObject::connect(&step, &QTimer::timeout, [&] {
        if (!ready && console.ready()) {
            ready = true;
            Say("ready");
        }
        talmor::CCallPane& pane = console.intake().pane(kSos);
        if (ready && callId == 0) {
            for (int row = 0; row < pane.model().size(); ++row) {
                if (pane.model().record(row).userId == kCaller) {
                    callId = pane.model().record(row).callId;
                    pane.view()->selectRow(row);
                    pane.takeSelectedCall();
                    break;
                }
            }
        } else if (callId != 0 && !reported) {
            reported = true;
            console.window().client().callReport(callId, talmor::testing::Gbk("已送医"));
        } else if (reported && Confirmed(console, callId)) {
            Say("confirmed " + std::to_string(callId));
            step.stop();
        }
    });
    step.start(20);
    return QCoreApplication::exec();
}
