#include <gtest/gtest.h>

#include <QSignalSpy>

#include <ctime>

#include "calls/calllistmodel.h"
#include "calls/callpanetable.h"
#include "protocol/listcursors.h"
#include "support/qtapp.h"

namespace talmor {
namespace {

using testing::Gbk;
using testing::U;

CallRecord Call(uint32_t id) {
    CallRecord call;
    call.callId = id;
    call.userId = 2000 + id;
    return call;
}

QString Cell(const CallListModel& model, int row, int column) {
    return model.data(model.index(row, column), Qt::DisplayRole).toString();
}

QStringList Headings(ColumnWording wording) {
    CallListModel model(wording, 0);
    QStringList headings;
    for (int column = 0; column < model.columnCount(); ++column) {
        headings << model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    return headings;
}

TEST(CallPaneTable, OneRowPerCodeWithItsListAndRequest) {
    std::set<int> lists;
    std::set<uint16_t> requests;
    for (std::size_t code = 0; code < kCallPanes.size(); ++code) {
        const CallPaneConfig& pane = kCallPanes[code];
        EXPECT_EQ(pane.code, static_cast<int>(code));
        EXPECT_EQ(ListCursors::requestOf(pane.list), pane.listRequest) << pane.paneName;
        EXPECT_EQ(PaneCodeOfList(pane.list), pane.code);
        EXPECT_EQ(pane.viewRight, kCategories[code].right);
        lists.insert(pane.list);
        requests.insert(pane.listRequest);
    }
    EXPECT_EQ(lists.size(), 27U);
    EXPECT_EQ(requests.size(), 27U);
    EXPECT_EQ(PaneCodeOfList(ListCursors::kTaken), -1);
    // Customer service sits between the eighth and ninth category class.
    EXPECT_STREQ(kCallPanes[10].paneName, "CKeFuDlg");
    EXPECT_EQ(kCallPanes[10].listRequest, 1832);
    EXPECT_STREQ(kCallPanes[11].paneName, "CHouseKeeper09Dlg");
    EXPECT_EQ(kCallPanes[11].listRequest, 1816);
    EXPECT_EQ(kCallPanes[3].rowImage, 1);
    EXPECT_EQ(kCallPanes[2].rowImage, 5);
}

TEST(CallColumns, WordingOfEachKindOfPane) {
    EXPECT_EQ(Headings(ColumnWording::Sos),
              (QStringList{U("帐号"), U("服务类别"), U("服务对像"), U("求救时间"), U("求救人"),
                           U("性别"), U("年龄"), U("求救电话"), U("手机"), U("省 市 区"),
                           U("求救地址"), U("地图标注")}));
    EXPECT_EQ(Headings(ColumnWording::Help)[3], U("求助时间"));
    EXPECT_EQ(Headings(ColumnWording::Help)[10], U("求助地址"));
    EXPECT_EQ(Headings(ColumnWording::Category),
              (QStringList{U("帐号"), U("呼叫时间"), U("用户"), U("性别"), U("年龄"), U("联系电话"),
                           U("用户手机"), U("省 市 区"), U("呼叫地址"), U("地图标注")}));
    EXPECT_EQ(Headings(ColumnWording::Alarm),
              (QStringList{U("帐号"), U("报警时间"), U("户主"), U("性别"), U("年龄"), U("联系电话"),
                           U("户主手机"), U("省 市 区"), U("报警地址"), U("地图标注")}));
    const QStringList service = Headings(ColumnWording::Service);
    EXPECT_EQ(service[6], U("手机"));
    EXPECT_EQ(service[8], U("详细地址"));
}

TEST(CallListModel, CellsOfAHelpRow) {
    testing::EnsureApplication();
    CallRecord call = Call(7);
    call.userId = 4294967295U;
    call.source = 1;
    call.serviceObject = Gbk("老人");
    call.userName = Gbk("王芳");
    call.sex = 2;
    call.age = 255;
    call.phone = "0755-1234";
    call.mobile = "13800000000";
    call.province = Gbk("广东");
    call.community = Gbk("科技园");
    call.address = Gbk("一号楼<b>3</b>");
    call.mapMark = "22.5,113.9";
    std::tm when{};
    when.tm_year = 2024 - 1900;
    when.tm_mon = 2;
    when.tm_mday = 9;
    when.tm_hour = 8;
    when.tm_min = 5;
    when.tm_sec = 7;
    when.tm_isdst = -1;
    call.callTime = static_cast<uint32_t>(std::mktime(&when));
    CallListModel model(ColumnWording::Help, 0);
    ASSERT_EQ(model.append({call}), 1);
    const QStringList expected = {U("4294967295"),
                                  U("APP应用"),
                                  U("老人"),
                                  U("2024-03-09 08:05:07"),
                                  U("王芳"),
                                  U("女"),
                                  U("255"),
                                  U("0755-1234"),
                                  U("13800000000"),
                                  U("广东    科技园"),
                                  U("一号楼<b>3</b>"),
                                  U("22.5,113.9")};
    for (int column = 0; column < model.columnCount(); ++column) {
        EXPECT_EQ(Cell(model, 0, column), expected[column]) << column;
    }
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::DecorationRole).isNull());
    EXPECT_TRUE(model.data(model.index(0, 1), Qt::DecorationRole).isNull());
}

// Records as a faulty or hostile server may send them: every field shows something sane.
TEST(CallListModel, FieldsOutOfRangeShowAsPlainCells) {
    testing::EnsureApplication();
    struct Case {
        const char* name;
        CallRecord call;
        int column; // of the category wording
        QString text;
    };
    CallRecord sex7 = Call(1);
    sex7.sex = 7;
    CallRecord emptyName = Call(2);
    CallRecord hugeName = Call(3);
    hugeName.userName = std::string(65000, 'A');
    CallRecord badGbk = Call(4);
    badGbk.userName = std::string("\xFF\xFE\x81", 3);
    CallRecord lastSecond = Call(5);
    lastSecond.callTime = 0xFFFFFFFFU;
    CallRecord noLocation = Call(6);
    CallRecord appSource = Call(7);
    appSource.source = 1;
    const Case cases[] = {
        {"sex 7 leaves the cell empty", sex7, 3, QString()},
        {"sex 0", Call(8), 3, U("未知")},
        {"empty name", emptyName, 2, QString()},
        {"enormous name kept whole", hugeName, 2, QString(65000, 'A')},
        {"location of five empty parts", noLocation, 7, U("    ")},
        {"category pane has no source column", appSource, 1,
         QString::fromStdString(CallTimeText(0))},
    };
    for (const Case& c : cases) {
        CallListModel model(ColumnWording::Category, 5);
        ASSERT_EQ(model.append({c.call}), 1) << c.name;
        EXPECT_EQ(Cell(model, 0, c.column), c.text) << c.name;
    }
    // Bytes that are not GBK still give a cell, and the last 32-bit second still converts.
    CallListModel model(ColumnWording::Category, 5);
    model.append({badGbk, lastSecond});
    EXPECT_FALSE(Cell(model, 0, 2).isEmpty());
    EXPECT_TRUE(Cell(model, 1, 1).startsWith(U("2106-")));
    EXPECT_TRUE(model.data(model.index(2, 0), Qt::DisplayRole).isNull());
    EXPECT_TRUE(model.data(model.index(0, 10), Qt::DisplayRole).isNull());
}

TEST(CallListModel, AppendsOnceRemovesByIdAndClears) {
    testing::EnsureApplication();
    CallListModel model(ColumnWording::Category, 5);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    EXPECT_EQ(model.append({}), 0);
    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(model.append({Call(1), Call(2), Call(1), Call(3)}), 3);
    EXPECT_EQ(inserted.count(), 1) << "one insertion for a whole list";
    // The same call again (its list page after its own announcement) adds nothing.
    EXPECT_EQ(model.append({Call(2)}), 0);
    EXPECT_EQ(model.append({Call(4)}), 1);
    ASSERT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.record(3).callId, 4U);

    EXPECT_EQ(model.removeCall(2), 1);
    EXPECT_EQ(model.removeCall(2), 0);
    EXPECT_EQ(model.removeCall(99), 0);
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.record(0).callId, 1U);
    EXPECT_EQ(model.record(1).callId, 3U);
    // A removed call that comes back is listed again.
    EXPECT_EQ(model.append({Call(2)}), 1);
    EXPECT_EQ(model.record(3).callId, 2U);

    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.holds(1));
    EXPECT_EQ(model.append({Call(1)}), 1);
}

} // namespace
} // namespace talmor
