#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <functional>
#include <vector>

#include "calls/callintake.h"
#include "calls/calllistmodel.h"
#include "calls/callpane.h"
#include "calls/callparts.h"
#include "calls/operatorsafety.h"
#include "console/commandids.h"
#include "console/options/optionparts.h"
#include "console/options/optionsheet.h"
#include "console/options/optionsystemdlg.h"
#include "console/talmormanagerdlg.h"
#include "console/toolbuttonrows.h"
#include "support/consoleharness.h"
#include "widgets/skinbutton.h"

namespace talmor {
namespace {

// The main window's ways into the sheet, on the console's test harness.
class OptionEntryTest : public ::testing::Test {
protected:
    OptionEntryTest() {
        InstallOptionParts(h.window());
        runner = dynamic_cast<OptionSheetRunner*>(h.window().routes().options);
    }

    // Runs `command` while `operate` works the modal sheet, which it must close.
    void whileOpen(const std::function<void()>& open,
                   const std::function<void(COptionSheet&)>& operate) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            ASSERT_NE(runner->sheet(), nullptr);
            seen = true;
            operate(*runner->sheet());
        });
        open();
        EXPECT_TRUE(seen);
        EXPECT_EQ(runner->sheet(), nullptr);
    }

    testing::ConsoleHarness h;
    OptionSheetRunner* runner = nullptr;
};

// The menu command and button 1021 open the first page; what OK stored takes effect in the
// main window at once, and Cancel leaves the options as they were.
TEST_F(OptionEntryTest, MenuAndButtonOpenTheFirstPageAndTheOptionsTakeEffect) {
    ASSERT_NE(runner, nullptr);
    h.login();
    ASSERT_TRUE(h.window().options().bit(storage::kOptionTakeHelpCalls));
    whileOpen([&] { h.window().onCommand(cmd::kSystemSettings); },
              [](COptionSheet& sheet) {
                  EXPECT_EQ(sheet.tabs()->currentIndex(), 0);
                  EXPECT_TRUE(sheet.isModal());
                  sheet.systemPage().takeHelpCalls()->click();
                  sheet.buttons()->button(QDialogButtonBox::Ok)->click();
              });
    EXPECT_FALSE(h.window().options().bit(storage::kOptionTakeHelpCalls));

    whileOpen([&] { h.window().buttons().button(cmd::kButtonSettings)->click(); },
              [](COptionSheet& sheet) {
                  EXPECT_EQ(sheet.tabs()->currentIndex(), 0);
                  sheet.systemPage().takeHelpCalls()->click();
                  sheet.buttons()->button(QDialogButtonBox::Cancel)->click();
              });
    EXPECT_FALSE(h.window().options().bit(storage::kOptionTakeHelpCalls));
}

// The safety switches of the system page take effect in the running console at once: the
// panes' waiting column, the journal (closed and its menu item hidden while off) and, back on,
// all of it again; the next login of the operator keeps what was stored.
TEST_F(OptionEntryTest, SafetySwitchesApplyAtOnce) {
    InstallCallParts(h.window());
    OperatorSafety& safety = h.window().routes().intake->safety();
    h.login();
    const CallListModel& sos = h.window().routes().intake->pane(1).model();
    const QAction* journalItem = h.window().mainMenu().action(OperatorSafety::kJournalCommand);
    ASSERT_NE(journalItem, nullptr);
    EXPECT_GE(sos.waitingColumn(), 0);
    EXPECT_TRUE(safety.journal().journal().isOpen());
    const auto setSwitches = [&](bool realert, bool waitingTime, bool journal) {
        whileOpen([&] { h.window().onCommand(cmd::kSystemSettings); },
                  [&](COptionSheet& sheet) {
                      COptionSystemDlg& page = sheet.systemPage();
                      page.realert()->setChecked(realert);
                      page.waitingTime()->setChecked(waitingTime);
                      page.journal()->setChecked(journal);
                      sheet.buttons()->button(QDialogButtonBox::Ok)->click();
                  });
    };
    setSwitches(true, false, false);
    EXPECT_EQ(safety.switches(), (SafetySwitches{true, false, false}));
    EXPECT_EQ(sos.waitingColumn(), -1);
    EXPECT_FALSE(safety.journal().enabled());
    EXPECT_FALSE(safety.journal().journal().isOpen());
    EXPECT_FALSE(journalItem->isVisible());

    h.login();
    EXPECT_EQ(safety.switches(), (SafetySwitches{true, false, false}));

    setSwitches(false, true, true);
    EXPECT_EQ(safety.switches(), (SafetySwitches{false, true, true}));
    EXPECT_GE(sos.waitingColumn(), 0);
    EXPECT_TRUE(safety.journal().journal().isOpen());
    EXPECT_TRUE(journalItem->isVisible());
}

// Button 1021 answers before any login too, when there is no operator folder yet: no sheet, and
// no data file in the working folder.
TEST_F(OptionEntryTest, NoSheetBeforeTheFirstLogin) {
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (COptionSheet* sheet = runner->sheet()) {
            opened = true;
            sheet->reject();
        }
    });
    h.window().onCommand(cmd::kButtonSettings);
    QCoreApplication::processEvents();
    EXPECT_FALSE(opened);
    EXPECT_FALSE(QFileInfo::exists("UserOption.db"));
}

} // namespace
} // namespace talmor
