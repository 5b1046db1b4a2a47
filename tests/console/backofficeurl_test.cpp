#include <gtest/gtest.h>

#include "kit/backofficeurl.h"
#include "support/qtapp.h"

namespace talmor {
namespace {

using testing::Gbk;

QByteArray Encoded(const QUrl& url) {
    return url.toEncoded();
}

TEST(PageUrlTest, PathAndKeysStayAsWrittenValuesFollowInOrder) {
    const QUrl url = PageUrl("http://bo.example/", "send_sms_log.aspx",
                             {{"manager_id", "1024"}, {"randnum", "0123ABCDEFGHIJK45678"}});
    EXPECT_EQ(Encoded(url),
              "http://bo.example/send_sms_log.aspx?manager_id=1024&randnum=0123ABCDEFGHIJK45678");
    EXPECT_TRUE(url.isValid());
}

TEST(PageUrlTest, NoQueryGivesBaseAndPathAlone) {
    EXPECT_EQ(Encoded(PageUrl("http://eval.example", "", {})), "http://eval.example");
    EXPECT_EQ(Encoded(PageUrl("http://data.example", "/", {})), "http://data.example/");
}

TEST(PageUrlTest, DoubleSlashOfTheRechargeReportsIsKept) {
    const QUrl url = PageUrl("http://bo.example/", "/recharge/Recharge_User_Report.aspx",
                             {{"manager_id", "1024"}});
    EXPECT_EQ(Encoded(url),
              "http://bo.example//recharge/Recharge_User_Report.aspx?manager_id=1024");
    EXPECT_EQ(url.path(), "//recharge/Recharge_User_Report.aspx");
}

TEST(PageUrlTest, AwkwardValuesCannotChangeTheAddress) {
    struct Case {
        std::string value;
        QByteArray encoded;
    };
    const Case cases[] = {
        {"138&randnum=X", "138%26randnum%3DX"},
        {"12#frag", "12%23frag"},
        {"a?b", "a%3Fb"},
        {"010 8888", "010%208888"},
        {"50%", "50%25"},
        {"+86/1", "%2B86%2F1"},
        {Gbk("中山路"), "%D6%D0%C9%BD%C2%B7"},
        {"-._~", "-._~"},
        {"", ""},
    };
    for (const Case& c : cases) {
        const QUrl url =
            PageUrl("http://bo.example/", "51ditu.aspx", {{"keyvalue", c.value}, {"n", "1"}});
        EXPECT_EQ(Encoded(url), "http://bo.example/51ditu.aspx?keyvalue=" + c.encoded + "&n=1")
            << c.value;
        EXPECT_EQ(url.fragment(), QString()) << c.value;
    }
}

TEST(PageUrlTest, MailToCarriesOneAddressOnly) {
    EXPECT_EQ(Encoded(MailToUrl("li@example.com")), "mailto:li@example.com");
    EXPECT_EQ(Encoded(MailToUrl("li@example.com?cc=x@y.z")), "mailto:li@example.com%3Fcc%3Dx@y.z");
    EXPECT_EQ(Encoded(MailToUrl(Gbk("王@例子.cn"))), "mailto:%E7%8E%8B@%E4%BE%8B%E5%AD%90.cn");
}

} // namespace
} // namespace talmor
