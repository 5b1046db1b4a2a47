#include "calls/sellersearchtypes.h"

#include "calls/handlingtexts.h"
#include "kit/gbktext.h"

namespace talmor {

const std::vector<SellerType>& SellerTypes() {
    static const std::vector<SellerType> types = {
        {"房产物业",
         {"住宅买卖", "商铺买卖", "房屋租赁", "二手房产", "开盘信息", "经营转让", "中介", "其它"}},
        {"生活服务",
         {"票务服务", "家政服务", "照顾宠物", "家教服务", "礼仪庆典", "家电维修", "装饰装修",
          "电脑数码维修", "服装加工", "法律咨询", "投资咨询", "保险业务", "送水", "送媒气",
          "其它"}},
        {"婚介交友",
         {"婚庆礼仪", "婚宴酒席", "婚车租赁", "婚纱摄影", "情感热线", "婚介服务", "心理咨询",
          "婚庆用品", "交友天地", "其它"}},
        {"宾馆旅游",
         {"旅游", "一星宾馆", "二星宾馆", "三星宾馆", "四星宾馆", "五星宾馆", "涉外宾馆",
          "酒店式公寓", "度假村", "家庭旅馆", "青年旅馆", "招待所", "其它"}},
        {"汽摩市场",
         {"汽车交易", "汽车租赁", "摩托车", "汽摩配件", "汽车用品", "设备工具", "二手车市",
          "维修保养", "货物运输", "汽车培训", "其他"}},
        {"教育培训", {"驾驶培训", "电脑培训", "外语培训", "财会培训", "烹饪厨艺", "服装剪裁",
                      "家电维修", "汽车维修", "留学中介", "艺术培训", "美容美发", "酒店服务",
                      "模特礼仪", "家政服务", "装饰设计", "企业管理", "武术培训", "医疗保健",
                      "导游培训", "影视摄影", "求学招生", "特殊培训", "其它"}},
        {"休闲美容", {"洗浴桑拿", "酒吧",   "咖啡厅",   "迪厅",   "夜总会",   "茶座", "俱乐部",
                      "游乐场",   "电影院", "录像厅",   "游戏厅", "网吧",     "足浴", "生活美容",
                      "美发",     "夜总会", "医疗美容", "健身",   "形像设计", "其它"}},
        {"餐饮美食",
         {"异国风味", "中式大餐", "特色佳肴", "日韩料理", "快餐", "外卖", "冷饮", "糕点", "小吃",
          "其它"}},
        {"医疗保健",
         {"医疗健身", "药房", "医院", "诊所", "社区医疗服务点", "成人用品", "殡葬墓地", "其它"}},
        {"购物商城",
         {"家用电器", "数码产品",     "通讯设备",     "电脑设备",     "软件游戏", "办公文教",
          "家具布艺", "装璜五金",     "古玩收藏",     "花鸟宠物",     "鞋帽服饰", "礼品饰品",
          "二手商品", "日常交通工具", "美容美发工具", "健身用品器材", "音像书刊", "食品类",
          "纪念品",   "日常生活用品", "其它"}},
    };
    return types;
}

const char* SellerSearchRefusal(int type, int subType) {
    const std::vector<SellerType>& types = SellerTypes();
    if (type < 0 || static_cast<std::size_t>(type) >= types.size()) {
        return text::kChooseSellerType;
    }
    if (subType < 0 || static_cast<std::size_t>(subType) >=
                           types[static_cast<std::size_t>(type)].subTypes.size()) {
        return text::kChooseSellerSubType;
    }
    return nullptr;
}

SellerQuery SellerQueryFor(const CallRecord& call, int type, int subType) {
    const SellerType& chosen = SellerTypes()[static_cast<std::size_t>(type)];
    SellerQuery query;
    query.windowKey = call.callId;
    // The names are GBK on the wire; every one of them is.
    query.type = ToGbk(QString::fromUtf8(chosen.name)).value_or(std::string());
    query.subType = ToGbk(QString::fromUtf8(chosen.subTypes[static_cast<std::size_t>(subType)]))
                        .value_or(std::string());
    query.province = call.province;
    query.city = call.city;
    query.district = call.district;
    query.street = call.street;
    query.community = call.community;
    return query;
}

} // namespace talmor
