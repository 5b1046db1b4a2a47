#include "console/backofficepages.h"

#include <algorithm>

#include "kit/backofficeurl.h"
#include "kit/deployment.h"

namespace talmor {

namespace {

constexpr PageTarget kWork = PageTarget::WorkPane;
constexpr PageTarget kBrowser = PageTarget::SystemBrowser;
using S = PageSite;

// Popups of the main menu that carry page commands.
const char kCustomers[] = "呼叫客户(&U)";
const char kOperators[] = "座席商户(&M)";
const char kCare[] = "居家养老(&J)";
const char kReports[] = "统计报表(&R)";
const char kLife[] = "生活服务(&V)";
const char kHelp[] = "帮助(&H)";

const std::optional<MenuRule> kAlways;
constexpr bool kArea = true;
constexpr bool kAnyScope = false;

// Ready, with every right of `rights`, an area scope when `area`, and one of `anyRight`.
MenuRule Ready(std::vector<int> rights = {}, bool area = kAnyScope,
               std::vector<int> anyRight = {}) {
    MenuRule rule;
    rule.rights = std::move(rights);
    rule.areaScope = area;
    rule.anyRight = std::move(anyRight);
    return rule;
}

std::vector<BackOfficePage> MakePages() {
    return {
        {1006, "", nullptr, kWork, S::BackOffice, "user_call_check.aspx",
         "manager_id=$o&randnum=$i", kAlways, -1},
        {1008, "", nullptr, kWork, S::BackOffice, "createuser.aspx", "manager_id=$o&randnum=$i",
         kAlways, 0},
        {1009, "", nullptr, kWork, S::BackOffice, "createmanager.aspx", "manager_id=$o&randnum=$i",
         kAlways, 2},
        {1011, "", nullptr, kWork, S::BackOffice, "user_call_collect.aspx",
         "manager_id=$o&randnum=$i", kAlways, -1},
        {1014, "", nullptr, kWork, S::Public, "/soft/default.aspx", "ManagerID=$o&RandNum=$i",
         kAlways, -1},
        {1016, "该系统评估可正确判断老人生活能力和帮助内容", nullptr, kBrowser, S::Evaluation, "",
         "", kAlways, -1},
        {1017, "", nullptr, kWork, S::BackOffice, "call_user_list.aspx", "manager_id=$o&randnum=$i",
         kAlways, -1},
        {1018, "本功能可同时向2000个老人/居民自动语音通知", nullptr, kWork, S::BackOffice,
         "ivr/ivrmanager.aspx", "manager_id=$o&randnum=$i", kAlways, -1},
        {1019, "", nullptr, kWork, S::BackOffice, "call_data_analyse.aspx",
         "manager_id=$o&randnum=$i", kAlways, -1},
        {1020, "", nullptr, kWork, S::BackOffice, "send_sms_log.aspx", "manager_id=$o&randnum=$i",
         kAlways, -1},
        {1023, "", nullptr, kBrowser, S::Data, "", "", kAlways, -1},
        {1024, "本功能可以在一分钟内完成2000人服务券发放", nullptr, kWork, S::BackOffice,
         "recharge/rechargecenter.aspx", "manager_id=$o&randnum=$i", kAlways, -1},
        {1027, "本功能可直接拨打或回复呼叫节省查号拨号时间", nullptr, kWork, S::BackOffice,
         "ecp/ecpAccountManager.aspx", "manager_id=$o&randnum=$i", kAlways, -1},
        {1028, "本功能录入信息可展示社区服务体系的具体内容", nullptr, kBrowser, S::Data, "/", "",
         kAlways, -1},
        {1029, "本功能可以就近在社区申请享受居家养老服务", nullptr, kWork, S::BackOffice,
         "create_wait_approve_user.aspx", "manager_id=$o&randnum=$i", kAlways, -1},
        {1030, "本功能街道可以在线审核社区居家养老服务申请", nullptr, kWork, S::BackOffice,
         "approve_user_list.aspx", "manager_id=$o&randnum=$i", kAlways, -1},
        {1031, "本功能区民政可在线批准街道居家养老服务申请", nullptr, kWork, S::BackOffice,
         "approve_user_list.aspx", "manager_id=$o&randnum=$i", kAlways, -1},
        {1032, "本功能是服务商接收工单和进行管理的平台", nullptr, kBrowser, S::Mall, "", "",
         kAlways, -1},
        {1033, "本功能对上门服务的助老员/社工等进行记录考核", nullptr, kWork, S::BackOffice,
         "hop_data_report.aspx", "manager_id=$o&randnum=$i", kAlways, -1},
        {1034, "本功能专为呼叫器故障/换地方的在线申报告平台", nullptr, kWork, S::BackOffice,
         "subfix/requestfix.aspx", "manager_id=$o&randnum=$i", kAlways, -1},
        {1035, "本功能是查看服务商收益情况", nullptr, kWork, S::BackOffice,
         "recharge/Recharge_Seller_Report.aspx", "manager_id=$o&randnum=$i", kAlways, -1},
        {1036, "本功能是查看某个老人电子服务券具体使用情况", nullptr, kWork, S::BackOffice,
         "recharge/Distribute_User_Report.aspx", "manager_id=$o&randnum=$i", kAlways, -1},
        {1037, "本功能聚集通用服务提供商的操作和联系平台", nullptr, kWork, S::BackOffice,
         "life_box/box.html", "manager_id=$o&randnum=$i", kAlways, -1},
        {1038, "本功能显示本地区呼叫器安装数量和分类", nullptr, kWork, S::BackOffice,
         "flashchart/chart_setup.aspx", "manager_id=$o&randnum=$i", kAlways, -1},
        {1039, "本功能显示呼叫、表扬、投诉数量和具体内容", nullptr, kWork, S::BackOffice,
         "flashchart/chart_servertype.aspx", "manager_id=$o&randnum=$i", kAlways, -1},
        {1040, "本功能显示服务内容、数量及比例", nullptr, kWork, S::BackOffice,
         "flashchart/chart_call.aspx", "manager_id=$o&randnum=$i", kAlways, -1},
        {1041, "本功能按区域显示各呼叫器安装数量", nullptr, kWork, S::BackOffice, "userarea.aspx",
         "manager_id=$o&randnum=$i", kAlways, -1},
        {1042, "本功能显示近30天服务商排名和收益", nullptr, kWork, S::BackOffice,
         "sellerearnings.aspx", "manager_id=$o&randnum=$i", kAlways, -1},
        {1063, "本功能用于显示地图定位和号码搜索", nullptr, kWork, S::BackOffice, "map/index.aspx",
         "manager_id=$o&randnum=$i", kAlways, -1},
        {32828, "修改登录密码(&P)", kOperators, kWork, S::BackOffice, "updatepasswd.aspx",
         "manager_id=$o&user_id=$o&randnum=$i", Ready(), -1},
        {32829, "修改我的资料", kOperators, kWork, S::BackOffice, "updatemanager.aspx",
         "manager_id=$o&user_id=$o&randnum=$i", Ready(), -1},
        {32892, "酒店预订", kLife, kWork, S::Hotel, "", "", kAlways, -1},
        {32894, "机票预订", kLife, kWork, S::Flight, "", "", kAlways, -1},
        {32925, "创建呼叫客户(&N)", kCustomers, kWork, S::BackOffice, "createuser.aspx",
         "manager_id=$o&randnum=$i", Ready({0}), 0},
        {32934, "月呼叫量对比分析", kReports, kWork, S::BackOffice, "call_12m_chart.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {32935, "市民呼叫数据分析", kReports, kWork, S::BackOffice, "call_data_analyse.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {32936, "注册数据发展分析", kReports, kWork, S::BackOffice, "join_12m_chart.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {32940, "处理记录(&R)", kReports, kWork, S::BackOffice, "user_call_collect.aspx",
         "manager_id=$o&randnum=$i", Ready({6}), -1},
        {32946, "机构汇总", kOperators, kWork, S::BackOffice, "setup_list.aspx",
         "manager_id=$o&randnum=$i", Ready({}, kArea), -1},
        {32947, "创建商户(&S)", kOperators, kWork, S::BackOffice, "createseller.aspx",
         "manager_id=$o&randnum=$i", Ready({1}), 1},
        {32948, "创建监控座席(&M)", kOperators, kWork, S::BackOffice, "createmanager.aspx",
         "manager_id=$o&randnum=$i", Ready({2}), 2},
        {32953, "客户注册使用情况", kCustomers, kWork, S::BackOffice, "user_call_check.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {32992, "常用号码汇总", kLife, kWork, S::Public, "/help/help_telephone.aspx",
         "managerid=$o", Ready(), -1},
        {33008, "新建区域加盟", kOperators, kWork, S::BackOffice, "createfranchisee.aspx",
         "manager_id=$o&randnum=$i", Ready({18}, kArea), -1},
        {33009, "区域加盟汇总(&F)", kOperators, kWork, S::BackOffice, "franchisee_list.aspx",
         "manager_id=$o&randnum=$i", Ready({}, kArea), -1},
        {33047, "呼叫客户汇总(&C)", kCustomers, kWork, S::BackOffice, "call_user_list.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {33051, "监控座席汇总", kOperators, kWork, S::BackOffice, "manager_user_list.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {33058, "商户汇总", kOperators, kWork, S::BackOffice, "seller_list.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {33059, "创建机构", kOperators, kWork, S::BackOffice, "createsetup.aspx",
         "manager_id=$o&randnum=$i", Ready({12}, kArea), 0},
        {33069, "短信日志", kReports, kWork, S::BackOffice, "send_sms_log.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {33072, "红键通知对像检查", kCustomers, kWork, S::BackOffice, "special_inform_check.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {33074, "短信发送对像检查", kCustomers, kWork, S::BackOffice, "send_sms_check.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {33077, "今日提醒", kCustomers, kWork, S::BackOffice, "user_birthday_list.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {33081, "使用手册", kHelp, kWork, S::Public, "/teach/index.htm", "", kAlways, -1},
        {33084, "火车班次查询", kLife, kWork, S::Train, "", "", kAlways, -1},
        {33086, "网上购物", kLife, kWork, S::Shopping, "", "", kAlways, -1},
        {33100, "生活百宝箱", kLife, kWork, S::Shopping, "/life.html", "", Ready(), -1},
        {33106, "居家养老服务申报受理", kCare, kWork, S::BackOffice,
         "create_wait_approve_user.aspx", "manager_id=$o&randnum=$i", Ready({47}), 0},
        {33107, "居家养老服务申报汇总", kCare, kWork, S::BackOffice, "approve_user_list.aspx",
         "manager_id=$o&randnum=$i", Ready({}, kArea, {48, 49}), -1},
        {33116, "社区助老员名单汇总", kCare, kWork, S::BackOffice, "hop_user_list.aspx",
         "manager_id=$o&randnum=$i", Ready({}, kArea), -1},
        {33117, "创建社区助老员资料", kCare, kWork, S::BackOffice, "createhop.aspx",
         "manager_id=$o&randnum=$i", Ready({}, kArea), -1},
        {33119, "了解服务类别", kCare, kWork, S::Public, "/warm/index.html", "", Ready(), -1},
        {33128, "呼叫拒绝名单", kCustomers, kWork, S::BackOffice, "blockcalllist.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {33140, "信息分配员业绩考核", kReports, kWork, S::BackOffice, "chuqing_report.aspx",
         "manager_id=$o&randnum=$i&wstatus=1", Ready(), -1},
        {33143, "社区助老员考核报表", kCare, kWork, S::BackOffice, "hop_data_report.aspx",
         "manager_id=$o&randnum=$i", Ready({}, kArea), -1},
        {33145, "呼叫客户资料修改汇总", kCustomers, kWork, S::BackOffice,
         "requpdate/wait_update_user.aspx", "manager_id=$o&randnum=$i", Ready(), -1},
        {33147, "社区助老员资料修改申请汇总", kCare, kWork, S::BackOffice,
         "hopapprove/hop_apporver.aspx", "manager_id=$o&randnum=$i", Ready(), -1},
        {33153, "用户充值报表", kReports, kWork, S::BackOffice,
         "/recharge/Recharge_User_Report.aspx", "manager_id=$o&randnum=$i", Ready(), -1},
        {33154, "机构充值报表", kReports, kWork, S::BackOffice,
         "/recharge/Recharge_Setup_Report.aspx", "manager_id=$o&randnum=$i", Ready(), -1},
        {33155, "商户收益报表", kReports, kWork, S::BackOffice,
         "/recharge/Recharge_Seller_Report.aspx", "manager_id=$o&randnum=$i", Ready(), -1},
        {33159, "用户扣款报表", kReports, kWork, S::BackOffice,
         "/recharge/Distribute_User_Report.aspx", "manager_id=$o&randnum=$i", Ready(), -1},
        {33160, "机构扣款报表", kReports, kWork, S::BackOffice,
         "/recharge/Distribute_Setup_Report.aspx", "manager_id=$o&randnum=$i", Ready(), -1},
        {33162, "未呼检查", kCustomers, kWork, S::BackOffice, "RecentNotCall.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {33164, "加盟欠费汇总", kOperators, kWork, S::BackOffice,
         "franchisee/arrearage_report.aspx", "manager_id=$o&randnum=$i", Ready({}, kArea), -1},
        {33170, "故障、移机、停机汇总", kCustomers, kWork, S::BackOffice,
         "subfix/ReqOperationReport.aspx", "manager_id=$o&randnum=$i", Ready(), -1},
        {33171, "故障、移机、停机申请", kCustomers, kWork, S::BackOffice, "subfix/requestfix.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {33173, "速拨通服务", kCustomers, kWork, S::BackOffice, "ecp/ecpAccountManager.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {33175, "居家养老评估", kCare, kBrowser, S::Evaluation, "", "", kAlways, -1},
        {33177, "语音通知", kCustomers, kWork, S::BackOffice, "ivr/ivrmanager.aspx",
         "manager_id=$o&randnum=$i", kAlways, -1},
        {33182, "APP应用开通汇总", kCustomers, kWork, S::BackOffice, "call_user_app_open_list.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {33184, "为家人申请开通呼叫汇总", kCustomers, kWork, S::BackOffice,
         "app_family_apply_list.aspx", "manager_id=$o&randnum=$i", Ready(), -1},
        {32955, "", nullptr, kWork, S::Public, "/soft/OrgClientSearch.aspx", "", Ready({13}, kArea),
         -1},
        {32963, "", nullptr, kWork, S::Public, "/soft/CallFreeService.aspx",
         "ManagerID=$o&PageID=1", Ready(), -1},
        {32964, "", nullptr, kWork, S::Public, "/soft/CallTestService.aspx",
         "ManagerID=$o&PageID=1", Ready(), -1},
        {32966, "", nullptr, kWork, S::Public, "/soft/CallPayService.aspx", "ManagerID=$o&PageID=1",
         Ready(), -1},
        {32967, "", nullptr, kWork, S::Public, "/soft/CallTelComService.aspx",
         "ManagerID=$o&PageID=1", Ready(), -1},
        {32968, "", nullptr, kWork, S::Public, "/soft/CallMobileService.aspx",
         "ManagerID=$o&PageID=1", Ready(), -1},
        {32969, "", nullptr, kWork, S::Public, "/soft/CallUnComService.aspx",
         "ManagerID=$o&PageID=1", Ready(), -1},
        {32975, "", nullptr, kWork, S::Public, "/soft/ManagerUserResult01.aspx",
         "ManagerID=$o&PageID=1", Ready(), -1},
        {32978, "", nullptr, kWork, S::Public, "/soft/CallBankService01.aspx",
         "ManagerID=$o&PageID=1", Ready(), -1},
        {32983, "", nullptr, kWork, S::Public, "/soft/CallBankService02.aspx",
         "ManagerID=$o&PageID=1", Ready(), -1},
        {32984, "", nullptr, kWork, S::Public, "/soft/CallBankService03.aspx",
         "ManagerID=$o&PageID=1", Ready(), -1},
        {32985, "", nullptr, kWork, S::Public, "/soft/CallBankService04.aspx",
         "ManagerID=$o&PageID=1", Ready(), -1},
        {32986, "", nullptr, kWork, S::Public, "/soft/CallBankService05.aspx",
         "ManagerID=$o&PageID=1", Ready(), -1},
        {32987, "", nullptr, kWork, S::Public, "/soft/CallOrgService.aspx", "ManagerID=$o&PageID=1",
         Ready(), -1},
        {33002, "", nullptr, kWork, S::Public, "/soft/orgchild.aspx", "ManagerID=$o",
         Ready({}, kArea), -1},
        {33016, "", nullptr, kBrowser, S::Office, "/index.php", "", kAlways, -1},
        {33017, "", nullptr, kBrowser, S::Mail, "", "", kAlways, -1},
        {33030, "", nullptr, kWork, S::BackOffice, "user_housekeeper1_chart.aspx",
         "manager_id=$o&randnum=$i", Ready({20}), -1},
        {33031, "", nullptr, kWork, S::BackOffice, "user_housekeeper2_chart.aspx",
         "manager_id=$o&randnum=$i", Ready({21}), -1},
        {33032, "", nullptr, kWork, S::BackOffice, "user_housekeeper3_chart.aspx",
         "manager_id=$o&randnum=$i", Ready({22}), -1},
        {33033, "", nullptr, kWork, S::BackOffice, "user_housekeeper4_chart.aspx",
         "manager_id=$o&randnum=$i", Ready({23}), -1},
        {33034, "", nullptr, kWork, S::BackOffice, "user_housekeeper1_collect.aspx",
         "manager_id=$o&randnum=$i", Ready({20}), -1},
        {33035, "", nullptr, kWork, S::BackOffice, "user_housekeeper2_collect.aspx",
         "manager_id=$o&randnum=$i", Ready({21}), -1},
        {33036, "", nullptr, kWork, S::BackOffice, "user_housekeeper3_collect.aspx",
         "manager_id=$o&randnum=$i", Ready({22}), -1},
        {33037, "", nullptr, kWork, S::BackOffice, "user_housekeeper4_collect.aspx",
         "manager_id=$o&randnum=$i", Ready({23}), -1},
        {33071, "", nullptr, kWork, S::BackOffice, "mobile_equipment_user_list.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {33079, "", nullptr, kWork, S::BackOffice, "user_housekeeper5_collect.aspx",
         "manager_id=$o&randnum=$i", Ready({24}), -1},
        {33080, "", nullptr, kWork, S::BackOffice, "user_housekeeper5_chart.aspx",
         "manager_id=$o&randnum=$i", Ready({24}), -1},
        {33093, "", nullptr, kWork, S::BackOffice, "user_call_other1.aspx",
         "manager_id=$o&randnum=$i", kAlways, -1},
        {33094, "", nullptr, kWork, S::BackOffice, "user_call_other2.aspx",
         "manager_id=$o&randnum=$i", kAlways, -1},
        {33102, "", nullptr, kWork, S::BackOffice, "lc_pager_user_list.aspx",
         "manager_id=$o&randnum=$i", Ready(), -1},
        {33133, "", nullptr, kWork, S::BackOffice, "attendance.aspx",
         "manager_id=$o&randnum=$i&wstatus=1", Ready(), -1},
        {33136, "", nullptr, kWork, S::BackOffice, "attendance.aspx",
         "manager_id=$o&randnum=$i&wstatus=2", Ready(), -1},
        {33137, "", nullptr, kWork, S::BackOffice, "attendance.aspx",
         "manager_id=$o&randnum=$i&wstatus=3", Ready(), -1},
        {33168, "", nullptr, kWork, S::BackOffice, "forgetpwd/forgetpassword",
         "manager_id=$o&user_id=$o&randnum=$i", Ready(), -1},
    };
}

std::string Substitute(const std::string& value, uint32_t operatorId,
                       const std::string& installationId) {
    if (value == "$o") {
        return Decimal(operatorId);
    }
    if (value == "$i") {
        return installationId;
    }
    return value;
}

} // namespace

const std::vector<BackOfficePage>& BackOfficePages() {
    static const std::vector<BackOfficePage> pages = MakePages();
    return pages;
}

const BackOfficePage* FindBackOfficePage(int command) {
    const std::vector<BackOfficePage>& pages = BackOfficePages();
    const auto found = std::find_if(pages.begin(), pages.end(), [command](const BackOfficePage& p) {
        return p.command == command;
    });
    return found == pages.end() ? nullptr : &*found;
}

QString SiteBase(const Deployment& deployment, const QString& backOfficeBase, PageSite site) {
    switch (site) {
    case PageSite::BackOffice:
        return backOfficeBase;
    case PageSite::Public:
        return deployment.publicSite;
    case PageSite::Shopping:
        return deployment.shoppingSite;
    case PageSite::Data:
        return deployment.dataSite;
    case PageSite::Mall:
        return deployment.mallSite;
    case PageSite::Mail:
        return deployment.mailSite;
    case PageSite::Office:
        return deployment.officeSite;
    case PageSite::Evaluation:
        return deployment.evaluationSite;
    case PageSite::Hotel:
        return deployment.hotelPage;
    case PageSite::Flight:
        return deployment.flightPage;
    case PageSite::Train:
        return deployment.trainPage;
    }
    return QString();
}

QUrl BuildPageUrl(const BackOfficePage& page, const Deployment& deployment,
                  const QString& backOfficeBase, uint32_t operatorId,
                  const std::string& installationId) {
    std::vector<QueryItem> query;
    const std::string text = page.query;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('&', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string pair = text.substr(start, end - start);
        const std::size_t equals = pair.find('=');
        query.emplace_back(pair.substr(0, equals),
                           Substitute(pair.substr(equals + 1), operatorId, installationId));
        start = end + 1;
    }
    return PageUrl(SiteBase(deployment, backOfficeBase, page.site), page.path, query);
}

QUrl CallOutUrl(const Deployment& deployment, uint32_t operatorId,
                const std::string& installationId, const std::string& phone, uint32_t callId) {
    return PageUrl(deployment.callOutService, "/ecp/ecpCallOut.aspx",
                   {{"manager_id", Decimal(operatorId)},
                    {"randnum", installationId},
                    {"c", phone},
                    {"callid", Decimal(callId)}});
}

QUrl NoticeStripUrl(const QString& backOfficeBase, int clientWidth) {
    constexpr int kWidthMargin = 600;
    return PageUrl(backOfficeBase, "guendong.aspx",
                   {{"GDWidth", std::to_string(clientWidth - kWidthMargin)}});
}

} // namespace talmor
