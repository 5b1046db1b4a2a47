#include <gtest/gtest.h>

#include <QApplication>

#include <memory>

#include "console/commandids.h"
#include "console/ecpbar.h"
#include "console/ecpdlg.h"
#include "kit/ecpbarplacement.h"
#include "kit/eventroutes.h"
#include "support/consoleharness.h"
#include "widgets/skinbutton.h"

namespace talmor {
namespace {

using testing::ConsoleHarness;
using testing::Gbk;

// A hovered row on the screen: left edge 100, right edge 700, top 300, 20 pixels high.
const QRect kRow(100, 300, 600, 20);

struct PlaceCase {
    const char* name;
    int kind;
    EcpBarValues given;
    QRect geometry;
    std::vector<int> buttons;
};

TEST(EcpBarPlacementTest, KindsPlaceTheBarAndShowTheButtonsOfTheirValues) {
    // Every bar stands on its row, centred on it.
    const PlaceCase cases[] = {
        {"row with user id and phone: call and SMS, 469 right of the row's left edge",
         EcpBarPlacement::kProcessRow,
         {"13800000000", "", 2001, 77, "n"},
         {569, 301, 41, 18},
         {kEcpCallButton, kEcpSmsButton}},
        {"row with phone only: call alone",
         EcpBarPlacement::kProcessRow,
         {"13800000000", "", 0, 77, "n"},
         {590, 301, 20, 18},
         {kEcpCallButton}},
        {"row with user id and e-mail: all three",
         EcpBarPlacement::kProcessRow,
         {"138", "a@b.c", 2001, 77, "n"},
         {548, 301, 62, 18},
         {kEcpCallButton, kEcpSmsButton, kEcpMailButton}},
        {"contact with e-mail only: mail, 23 left of the row's right edge",
         EcpBarPlacement::kContact,
         {"", "a@b.c", 0, 0, ""},
         {677, 301, 21, 18},
         {kEcpMailButton}},
        {"contact with phone and e-mail",
         EcpBarPlacement::kContact,
         {"138", "a@b.c", 0, 0, ""},
         {656, 301, 41, 18},
         {kEcpCallButton, kEcpMailButton}},
    };
    for (const PlaceCase& c : cases) {
        const EcpBarPlacement bar = EcpBarPlacement::Place(kRow, c.kind, true, c.given);
        EXPECT_EQ(bar.geometry, c.geometry) << c.name;
        EXPECT_EQ(bar.buttons, c.buttons) << c.name;
        EXPECT_TRUE(bar.visible) << c.name;
    }
}

TEST(EcpBarPlacementTest, ValuesKeptAreThoseOfTheKind) {
    const EcpBarValues given{"138", "a@b.c", 2001, 77, "name"};
    const EcpBarPlacement row =
        EcpBarPlacement::Place(kRow, EcpBarPlacement::kProcessRow, true, given);
    EXPECT_EQ(row.values, given);
    // A contact has no call: its call id and name are never kept.
    const EcpBarPlacement contact =
        EcpBarPlacement::Place(kRow, EcpBarPlacement::kContact, true, given);
    EXPECT_EQ(contact.values, (EcpBarValues{"138", "a@b.c", 2001, 0, ""}));
}

TEST(EcpBarPlacementTest, HidingOrKindZeroEmptiesTheBar) {
    const EcpBarValues given{"138", "a@b.c", 2001, 77, "name"};
    for (int kind :
         {EcpBarPlacement::kHide, EcpBarPlacement::kContact, EcpBarPlacement::kProcessRow}) {
        const EcpBarPlacement hidden = EcpBarPlacement::Place(kRow, kind, false, given);
        EXPECT_FALSE(hidden.visible) << kind;
        EXPECT_EQ(hidden.geometry, QRect(0, 0, 20, 18)) << kind;
        EXPECT_EQ(hidden.values, EcpBarValues()) << kind;
    }
    const EcpBarPlacement away = EcpBarPlacement::Place(kRow, EcpBarPlacement::kHide, true, given);
    EXPECT_FALSE(away.visible);
    EXPECT_EQ(away.values, EcpBarValues());
}

// Opens one family SMS window per call, as the processing list does.
class SmsWindows : public HandlingReceiver {
public:
    explicit SmsWindows(WindowRegistry& registry) : registry_(registry) {}
    void onTakenCalls(std::vector<CallRecord>) override {}
    void onCallTaken(const CallRecord&) override {}
    void onCallNoticeDone(uint32_t, bool) override {}
    void onCallGone(uint32_t) override {}
    void onCallMemoSaved(uint32_t) override {}
    void onFamilyContact(bool, uint32_t, const std::string&, const std::string&) override {}
    void onSellerResult(std::vector<SellerEntry>, uint32_t) override {}
    void onListsRequested() override {}
    void onCallDroppedOnContact(uint32_t, uint32_t) override {}
    void openFamilySms(uint32_t callId, uint32_t userId, const std::string& name,
                       const std::string& phone) override {
        opened.push_back({phone, "", userId, callId, name});
        windows.push_back(std::make_unique<RegisteredWindow>(registry_, 39, callId, 0));
    }

    std::vector<EcpBarValues> opened;
    std::vector<std::unique_ptr<RegisteredWindow>> windows;

private:
    WindowRegistry& registry_;
};

std::vector<CECPDlg*> CallOutWindows() {
    std::vector<CECPDlg*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<CECPDlg*>(widget)) {
            found.push_back(dialog);
        }
    }
    return found;
}

class EcpBarWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Deployment d;
        d.callOutService = "http://ecp.test";
        h = std::make_unique<ConsoleHarness>(d);
        h->login();
        sms = std::make_unique<SmsWindows>(h->window().windows());
        h->window().routes().handling = sms.get();
    }
    void TearDown() override {
        h->window().routes().handling = nullptr;
        for (CECPDlg* dialog : CallOutWindows()) {
            delete dialog;
        }
    }
    void press(int button) { h->window().ecpBar().button(button)->click(); }

    std::unique_ptr<ConsoleHarness> h;
    std::unique_ptr<SmsWindows> sms;
};

TEST_F(EcpBarWindowTest, AProcessingRowShowsCallAndSmsBesideIt) {
    CTalmorManagerDlg& w = h->window();
    w.ShowEcpBar(kRow, EcpBarPlacement::kProcessRow, true, "13800000000", 2001, "", 77,
                 Gbk("张三"));
    CECPBar& bar = w.ecpBar();
    EXPECT_TRUE(bar.isVisible());
    EXPECT_EQ(bar.geometry(), QRect(569, 301, 41, 18));
    EXPECT_TRUE(bar.button(kEcpCallButton)->isVisibleTo(&bar));
    EXPECT_TRUE(bar.button(kEcpSmsButton)->isVisibleTo(&bar));
    EXPECT_FALSE(bar.button(kEcpMailButton)->isVisibleTo(&bar));
    EXPECT_EQ(bar.button(kEcpSmsButton)->geometry(), QRect(21, 0, 20, 18));
}

TEST_F(EcpBarWindowTest, CallOpensANewCallOutWindowPerPress) {
    h->window().ShowEcpBar(kRow, EcpBarPlacement::kProcessRow, true, "010 8&8", 2001, "", 77, "n");
    press(kEcpCallButton);
    press(kEcpCallButton);
    const std::vector<CECPDlg*> windows = CallOutWindows();
    ASSERT_EQ(windows.size(), 2u);
    const QString expected =
        QString::fromStdString("http://ecp.test/ecp/ecpCallOut.aspx?manager_id=1024&randnum=" +
                               h->window().installationId() + "&c=010%208%268&callid=77");
    for (CECPDlg* dialog : windows) {
        EXPECT_EQ(QString::fromUtf8(dialog->requested().toEncoded()), expected);
        EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("拨打电话"));
        EXPECT_TRUE(dialog->isVisible());
    }
}

TEST_F(EcpBarWindowTest, SmsTwiceForTheSameCallLeavesOneSmsWindow) {
    h->window().ShowEcpBar(kRow, EcpBarPlacement::kProcessRow, true, "138", 2001, "", 77, "n");
    press(kEcpSmsButton);
    press(kEcpSmsButton);
    ASSERT_EQ(sms->opened.size(), 1u);
    EXPECT_EQ(sms->opened[0], (EcpBarValues{"138", "", 2001, 77, "n"}));
    // Another call gets its own.
    h->window().ShowEcpBar(kRow, EcpBarPlacement::kProcessRow, true, "139", 2002, "", 78, "m");
    press(kEcpSmsButton);
    EXPECT_EQ(sms->opened.size(), 2u);
}

TEST_F(EcpBarWindowTest, AContactOffersMailAndNeitherCallNorSms) {
    CTalmorManagerDlg& w = h->window();
    w.ShowEcpBar(kRow, EcpBarPlacement::kContact, true, "", 0, "li@example.com", 0, "");
    EXPECT_EQ(w.ecpBar().geometry().x(), 677);
    EXPECT_EQ(w.ecpBar().width(), 21);
    press(kEcpMailButton);
    ASSERT_EQ(h->ui.opened.size(), 1u);
    EXPECT_EQ(h->ui.opened[0].toString(), "mailto:li@example.com");
    press(kEcpCallButton);
    press(kEcpSmsButton);
    EXPECT_TRUE(CallOutWindows().empty());
    EXPECT_TRUE(sms->opened.empty());
}

TEST_F(EcpBarWindowTest, HidingTheContactPaneHidesTheBarWhereverItStood) {
    CTalmorManagerDlg& w = h->window();
    w.ShowEcpBar(kRow, EcpBarPlacement::kContact, true, "138", 0, "a@b.c", 0, "");
    ASSERT_TRUE(w.ecpBar().isVisible());
    w.onCommand(cmd::kButtonToggleContacts);
    EXPECT_FALSE(w.ecpBar().isVisible());
    EXPECT_EQ(w.ecpBar().values(), EcpBarValues());
    // Showing the pane again leaves the bar away too.
    w.ShowEcpBar(kRow, EcpBarPlacement::kContact, true, "138", 0, "", 0, "");
    w.onCommand(cmd::kButtonToggleContacts);
    EXPECT_FALSE(w.ecpBar().isVisible());
}

} // namespace
} // namespace talmor
