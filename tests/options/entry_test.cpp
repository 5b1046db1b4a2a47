#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <functional>
#include <vector>

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
