#include <QComboBox>
#include <QPushButton>
#include <QTableView>

#include "calls/handlingmenu.h"
#include "calls/sellersearchdlg.h"
#include "calls/sellersearchtypes.h"
#include "console/myworkdlg.h"
#include "handlingfixture.h"
#include "kit/resultlistmodel.h"

namespace talmor {
namespace {

using testing::Body;
using testing::Gbk;
using testing::HandlingFixture;
using testing::U;

class SellerSearchTest : public HandlingFixture {
protected:
    CSellerSearchDlg* open(uint32_t callId) {
        CallRecord call = Call(callId, 0);
        call.sex = 2;
        listAndSelect({call}, callId);
        list().runCommand(kCmdSellerSearch);
        return find<CSellerSearchDlg>(callId);
    }
    void result(uint32_t key, const SellerEntry& entry) {
        h.deliver(CMD_SELLER_RESULT, [&](OutPacket& out) {
            out.writeInt(key);
            entry.write(out);
        });
    }
    static SellerEntry Seller(uint32_t id, const char* name) {
        SellerEntry entry;
        entry.id = id;
        entry.merchantName = Gbk(name);
        entry.area = {Gbk("广东省"), Gbk("深圳市"), Gbk("南山区"), "", ""};
        entry.contactPerson = Gbk("陈师傅");
        entry.phone = "0755-86001111";
        entry.mobile = "13900001111";
        return entry;
    }
};

TEST_F(SellerSearchTest, ShowsTheCallerAndOffersTenTypesWithTheirSubTypes) {
    ready();
    CSellerSearchDlg* search = open(101);
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(search->windowTitle(), U("就近搜索商户"));
    const std::pair<int, QString> details[] = {
        {1002, U("张大爷")},        {1003, U("女")},          {1007, U("78")},
        {1133, U("0755-26602001")}, {1134, U("13500002001")}, {1135, U("广东省")},
        {1136, U("深圳市")},        {1137, U("南山区")},      {1138, U("科技园社区3栋502")},
        {1139, U("113.94,22.53")},  {1140, U("粤海街道")},    {1141, U("科技园社区")},
    };
    for (const auto& [id, text] : details) {
        EXPECT_EQ(search->detailText(id), text) << id;
    }
    QComboBox* types = search->typeBox();
    ASSERT_EQ(types->count(), 11);
    EXPECT_EQ(types->itemText(0), U("请选择商户类型"));
    EXPECT_EQ(types->itemText(1), U("房产物业"));
    EXPECT_EQ(types->itemText(10), U("购物商城"));
    EXPECT_EQ(search->subTypeBox()->count(), 1);
    types->setCurrentIndex(2);
    QComboBox* subTypes = search->subTypeBox();
    ASSERT_EQ(subTypes->count(), 16);
    EXPECT_EQ(subTypes->itemText(0), U("请选择二级类型"));
    EXPECT_EQ(subTypes->itemText(6), U("家电维修"));
    EXPECT_EQ(subTypes->itemText(15), U("其它"));
    const int sizes[] = {8, 15, 10, 13, 11, 23, 20, 10, 8, 21};
    for (std::size_t i = 0; i < SellerTypes().size(); ++i) {
        EXPECT_EQ(SellerTypes()[i].subTypes.size(), static_cast<std::size_t>(sizes[i])) << i;
    }
}

TEST_F(SellerSearchTest, RefusesAMissingTypeThenAsksKeyedByTheCall) {
    ready();
    CSellerSearchDlg* search = open(4000000002U);
    ASSERT_NE(search, nullptr);
    requests();
    search->search();
    search->typeBox()->setCurrentIndex(2);
    search->search();
    EXPECT_EQ(h.ui.texts("information"),
              (std::vector<QString>{U("请选择商户一级类型！"), U("请选择商户二级类型！")}));
    EXPECT_TRUE(requests().empty());

    search->subTypeBox()->setCurrentIndex(6);
    result(4000000002U, Seller(1, "之前的"));
    ASSERT_EQ(search->rows().rowCount(), 1);
    search->search();
    EXPECT_EQ(search->rows().rowCount(), 0) << "each search empties the list";
    std::vector<testing::Sent> sent = requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, CMD_SELLER_QUERY);
    Body body(sent[0]);
    EXPECT_EQ(body.u32(), 4000000002U);
    EXPECT_EQ(body.text(), Gbk("生活服务"));
    EXPECT_EQ(body.text(), Gbk("家电维修"));
    for (const char* area : {"广东省", "深圳市", "南山区", "粤海街道", "科技园社区"}) {
        EXPECT_EQ(body.text(), Gbk(area));
    }
}

TEST_F(SellerSearchTest, ResultsReachTheirWindowAndADoubleClickOpensTheMerchant) {
    ready();
    CSellerSearchDlg* search = open(111);
    ASSERT_NE(search, nullptr);
    result(111, Seller(3001, "安居家电维修服务部"));
    result(112, Seller(3009, "别的窗口"));
    result(111, Seller(3003, "<b>万家</b>"));
    ResultListModel& table = search->rows();
    ASSERT_EQ(table.rowCount(), 2);
    const QStringList headings = {U("帐号"),   U("商户"),     U("服务范围"),
                                  U("联系人"), U("联系电话"), U("手机")};
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(table.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                  headings[column]);
    }
    const QStringList first = {U("3001"),   U("安居家电维修服务部"), U("广东省 深圳市 南山区  "),
                               U("陈师傅"), U("0755-86001111"),      U("13900001111")};
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(table.index(0, column).data().toString(), first[column]) << column;
    }
    EXPECT_EQ(table.index(1, 1).data().toString(), U("<b>万家</b>"));

    emit search->list()->doubleClicked(table.index(1, 2));
    EXPECT_EQ(QString::fromUtf8(h.window().workPane().requested().toEncoded()),
              "http://bo.test/sellerinfo.aspx?manager_id=1024&user_id=3003&randnum=" +
                  QString::fromStdString(h.window().installationId()));
}

} // namespace
} // namespace talmor
