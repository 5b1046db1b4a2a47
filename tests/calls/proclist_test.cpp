#include <QMimeData>
#include <QResizeEvent>
#include <QTest>

#include "calls/proclistcolumns.h"
#include "calls/rowimages.h"
#include "console/ecpbar.h"
#include "handlingfixture.h"

namespace talmor {
namespace {

using testing::Body;
using testing::Gbk;
using testing::HandlingFixture;
using testing::U;

class ProcListTest : public HandlingFixture {
protected:
    QString cell(int row, int column) {
        return rows().data(rows().index(row, column), Qt::DisplayRole).toString();
    }
};

TEST_F(ProcListTest, HeadingsWidthsAndAlignment) {
    // The list stands under the header band and fills the rest of the pane.
    // (A hidden pane gets its resize event when shown; the test delivers it.)
    list().resize(800, 200);
    QResizeEvent resized(QSize(800, 200), QSize());
    QCoreApplication::sendEvent(&list(), &resized);
    EXPECT_EQ(list().view()->geometry(), QRect(2, 30, 796, 170));
    const QStringList headings = {U("帐号"),       U("服务类别"), U("呼叫类型"), U("呼叫时间"),
                                  U("呼叫人"),     U("性别"),     U("年龄"),     U("联系电话"),
                                  U("呼叫人手机"), U("省 市 区"), U("呼叫地址"), U("地图标注")};
    const int widths[] = {80, 80, 100, 150, 100, 40, 40, 100, 100, 100, 250, 100};
    const bool centred[] = {false, true, true, true,  false, true,
                            true,  true, true, false, false, false};
    ASSERT_EQ(rows().columnCount(), 12);
    for (int column = 0; column < 12; ++column) {
        EXPECT_EQ(rows().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                  headings[column]);
        EXPECT_EQ(list().view()->columnWidth(column), widths[column]) << column;
        const auto alignment =
            rows().headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
        EXPECT_EQ((alignment & Qt::AlignHCenter) != 0, centred[column]) << column;
    }
}

// Every cell of a row by the record's fields, including values the server should not send.
TEST_F(ProcListTest, CellsByCategorySourceAndOddValues) {
    struct Case {
        const char* name;
        uint32_t category;
        uint32_t source;
        uint8_t sex;
        std::string userName;
        QString sourceCell;
        QString typeCell;
        QString sexCell;
        QString nameCell;
        int image;
    };
    const Case cases[] = {
        {"help from the app", 0, 1, 1, Gbk("张大爷"), U("APP应用"), U("求助呼叫"), U("男"),
         U("张大爷"), 0},
        {"SOS from a terminal", 1, 0, 2, Gbk("李奶奶"), {}, U("求救呼叫"), U("女"), U("李奶奶"), 1},
        {"SOS from the app", 1, 1, 0, Gbk("王"), U("APP应用"), U("求救呼叫"), U("未知"), U("王"),
         1},
        {"property from the app", 2, 1, 1, "x", {}, U("物业管理"), U("男"), U("x"), 5},
        {"customer service", 10, 1, 1, "x", {}, U("咨询Quorvane"), U("男"), U("x"), 0},
        {"computer repair", 26, 0, 1, "x", {}, U("电脑维修"), U("男"), U("x"), 5},
        {"category 27", 27, 1, 1, "x", {}, {}, U("男"), U("x"), 5},
        {"category 4000000000", 4000000000U, 0, 1, "x", {}, {}, U("男"), U("x"), 5},
        {"sex 7", 3, 0, 7, "x", {}, U("每月团购"), {}, U("x"), 5},
        {"markup in the name",
         0,
         0,
         1,
         "<b>&amp;</b>",
         {},
         U("求助呼叫"),
         U("男"),
         U("<b>&amp;</b>"),
         0},
        {"huge name",
         0,
         0,
         1,
         std::string(60000, 'x'),
         {},
         U("求助呼叫"),
         U("男"),
         QString(60000, 'x'),
         0},
    };
    ready();
    uint32_t callId = 1;
    for (const Case& c : cases) {
        CallRecord call = Call(callId++, c.category);
        call.source = c.source;
        call.sex = c.sex;
        call.userName = c.userName;
        list().AddTakenCall(call);
        const int row = rows().rowCount() - 1;
        ASSERT_EQ(rows().record(row).callId, call.callId) << c.name;
        EXPECT_EQ(cell(row, 0), QString::number(call.userId)) << c.name;
        EXPECT_EQ(cell(row, 1), c.sourceCell) << c.name;
        EXPECT_EQ(cell(row, 2), c.typeCell) << c.name;
        EXPECT_FALSE(cell(row, 3).isEmpty()) << c.name;
        EXPECT_EQ(cell(row, 4), c.nameCell) << c.name;
        EXPECT_EQ(cell(row, 5), c.sexCell) << c.name;
        EXPECT_EQ(cell(row, 6), U("78")) << c.name;
        EXPECT_EQ(cell(row, 7), U("0755-26602001")) << c.name;
        EXPECT_EQ(cell(row, 8), U("13500002001")) << c.name;
        EXPECT_EQ(cell(row, 9), U("广东省 深圳市 南山区 粤海街道 科技园社区")) << c.name;
        EXPECT_EQ(cell(row, 10), U("科技园社区3栋502")) << c.name;
        EXPECT_EQ(cell(row, 11), U("113.94,22.53")) << c.name;
        EXPECT_EQ(ProcRowImage(c.category), c.image) << c.name;
        const QIcon icon = rows().data(rows().index(row, 0), Qt::DecorationRole).value<QIcon>();
        EXPECT_EQ(icon.cacheKey(), RowImage(c.image).cacheKey()) << c.name;
    }
    // An empty location keeps its four blanks; the list paints all rows without trouble.
    CallRecord nowhere = Call(99, 0);
    nowhere.province = nowhere.city = nowhere.district = nowhere.street = nowhere.community = "";
    list().AddTakenCall(nowhere);
    EXPECT_EQ(cell(rows().rowCount() - 1, 9), U("    "));
    list().resize(800, 200);
    list().grab();
}

TEST_F(ProcListTest, ReportTitlesByCategory) {
    EXPECT_EQ(ReportTitle(2), U("物业管理呼叫"));
    EXPECT_EQ(ReportTitle(10), U("咨询Quorvane呼叫"));
    EXPECT_EQ(ReportTitle(26), U("电脑维修呼叫"));
    for (uint32_t other : {0U, 1U, 27U, 4000000000U}) {
        EXPECT_EQ(ReportTitle(other), U("Quorvane多键呼叫")) << other;
    }
}

// The login's list, the calls the panes hand over, and the server's later parts, each once.
TEST_F(ProcListTest, ListsFromTheServerAndFromThePanesAreListedOnce) {
    ready();
    deliverTaken({Call(5, 0), Call(6, 2)});
    list().AddTakenCall(Call(7, 1));
    // The taken call comes back in the next part of the list.
    deliverTaken({Call(7, 1), Call(8, 10)});
    ASSERT_EQ(rows().rowCount(), 4);
    const uint32_t order[] = {5, 6, 7, 8};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(rows().record(row).callId, order[row]);
    }
    EXPECT_EQ(rows().record(1).category, 2U) << "taken calls carry their category";

    list().RemoveCall(6);
    list().RemoveCall(12345);
    ASSERT_EQ(rows().rowCount(), 3);
    EXPECT_EQ(rows().record(1).callId, 7U);

    // Refresh empties the list and asks from the start.
    h.takeSent();
    list().Refresh();
    EXPECT_EQ(rows().rowCount(), 0);
    const std::vector<testing::Sent> sent = h.takeSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, CMD_GET_TAKEN_CALLS);
    EXPECT_EQ(Body(sent[0]).u32(), 0U);
}

TEST_F(ProcListTest, ALoginAgainEmptiesTheListBeforeTheServerFillsIt) {
    ready();
    deliverTaken({Call(5, 0)});
    h.window().routes().handling->onListsRequested();
    EXPECT_EQ(rows().rowCount(), 0);
}

TEST_F(ProcListTest, OnlyHelpCallsAreDraggedAndCarryTheirId) {
    ready();
    deliverTaken({Call(4000000001U, 0), Call(6, 1), Call(7, 2)});
    const QModelIndex help = rows().index(0, 3);
    EXPECT_TRUE(rows().flags(help) & Qt::ItemIsDragEnabled);
    std::unique_ptr<QMimeData> data(rows().mimeData({help}));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(rows().mimeTypes(), QStringList{QStringLiteral("application/x-talmor-call")});
    EXPECT_EQ(data->data(QStringLiteral("application/x-talmor-call")), QByteArray("4000000001"));
    for (int row : {1, 2}) {
        const QModelIndex other = rows().index(row, 0);
        EXPECT_FALSE(rows().flags(other) & Qt::ItemIsDragEnabled) << row;
        EXPECT_EQ(rows().mimeData({other}), nullptr) << row;
    }
}

// Hovering a row puts the quick-action bar beside it; a row without phone puts it away.
TEST_F(ProcListTest, TheQuickActionBarFollowsTheMouse) {
    ready();
    CallRecord noPhone = Call(6, 1);
    noPhone.phone.clear();
    deliverTaken({Call(5, 0), noPhone});
    list().resize(900, 200);
    QTableView* view = list().view();
    const QRect first = view->visualRect(rows().index(0, 2));
    QTest::mouseMove(view->viewport(), first.center());
    list().hoverAt(first.center());
    EXPECT_TRUE(h.window().ecpBar().isVisible());
    // On the hovered row, wherever the window manager put the window.
    const QRect row(view->viewport()->mapToGlobal(QPoint(0, first.y())),
                    QSize(view->viewport()->width(), first.height()));
    EXPECT_EQ(h.window().ecpBar().x(), row.x() + 469);
    EXPECT_TRUE(row.contains(h.window().ecpBar().geometry().center()));
    EXPECT_EQ(h.window().ecpBar().values().phone, "0755-26602001");
    EXPECT_EQ(h.window().ecpBar().values().callId, 5U);
    EXPECT_EQ(h.window().ecpBar().values().userId, 2005U);
    list().hoverAt(view->visualRect(rows().index(1, 2)).center());
    EXPECT_EQ(h.window().ecpBar().values().callId, 0U);
    EXPECT_TRUE(h.window().ecpBar().values().phone.empty());
}

// The bar of a finished call goes with its row: it never floats on over an empty list.
TEST_F(ProcListTest, TheQuickActionBarGoesWithItsRow) {
    ready();
    deliverTaken({Call(5, 0)});
    list().resize(900, 200);
    QTableView* view = list().view();
    list().hoverAt(view->visualRect(rows().index(0, 2)).center());
    ASSERT_TRUE(h.window().ecpBar().isVisible());
    h.deliver(CMD_CALL_MEMO_SAVED, [](OutPacket& out) { out.writeInt(5); });
    ASSERT_EQ(rows().rowCount(), 0);
    EXPECT_FALSE(h.window().ecpBar().isVisible());
}

} // namespace
} // namespace talmor
