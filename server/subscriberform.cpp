#include "server/subscriberform.h"

#include <QRegularExpression>

#include "server/directory.h"
#include "server/gbk.h"
#include "server/pagekit.h"
#include "server/scope.h"

namespace talmor::server {

namespace {

constexpr int kNameLength = 20;
constexpr int kAddressLength = 60;
constexpr int kAreaLength = 30;
constexpr int kMaxAge = 130;
constexpr uint32_t kFirstSubscriberId = 2001;

const char* const kAreaKeys[] = {"province", "city", "district", "street", "community"};
const char* const kAreaNames[] = {"省", "市", "区", "街道", "社区"};

QString field(const QUrlQuery& fields, const QString& key) {
    return fields.queryItemValue(key, QUrl::FullyDecoded).trimmed();
}

bool phoneLike(const QString& text) {
    static const QRegularExpression pattern("^[0-9][0-9-]{4,19}$");
    return pattern.match(text).hasMatch();
}

bool mobileLike(const QString& text) {
    static const QRegularExpression pattern("^1[0-9]{10}$");
    return pattern.match(text).hasMatch();
}

// Writes a text as GBK; false (with the message) when it holds a character GBK lacks.
bool gbkInto(const QString& text, const char* what, std::string& out, QString& error) {
    auto bytes = toGbk(text);
    if (!bytes) {
        error = QString::fromUtf8("%1含有无法保存的字符。").arg(QString::fromUtf8(what));
        return false;
    }
    out = std::move(*bytes);
    return true;
}

bool phoneTaken(const Directory& directory, const std::string& number) {
    for (const auto& [id, account] : directory.accounts()) {
        if (account.kind == AccountKind::Subscriber &&
            (account.phone == number || account.mobile == number)) {
            return true;
        }
    }
    return false;
}

uint32_t nextSubscriberId(const Directory& directory) {
    uint32_t next = kFirstSubscriberId;
    for (const auto& [id, account] : directory.accounts()) {
        if (account.kind == AccountKind::Subscriber) {
            next = std::max(next, id + 1);
        }
    }
    while (directory.find(next) != nullptr) {
        ++next;
    }
    return next;
}

} // namespace

std::variant<Account, QString> SubscriberForm::read(const QUrlQuery& fields, const Account& self,
                                                    const Directory& directory) {
    Account account;
    account.kind = AccountKind::Subscriber;
    QString error;
    const QString name = field(fields, "name");
    if (name.isEmpty() || name.size() > kNameLength) {
        return QString::fromUtf8("请填写姓名（至多%1个字）。").arg(kNameLength);
    }
    const QString sex = field(fields, "sex");
    if (sex != "1" && sex != "2") {
        return QString::fromUtf8("请选择性别。");
    }
    bool ageOk = false;
    const int age = field(fields, "age").toInt(&ageOk);
    if (!ageOk || age < 0 || age > kMaxAge) {
        return QString::fromUtf8("年龄应为0到%1的整数。").arg(kMaxAge);
    }
    const QString phone = field(fields, "phone");
    const QString mobile = field(fields, "mobile");
    if (phone.isEmpty() && mobile.isEmpty()) {
        return QString::fromUtf8("电话和手机至少填写一个。");
    }
    if (!phone.isEmpty() && !phoneLike(phone)) {
        return QString::fromUtf8("电话号码只能含数字和“-”（5到20位）。");
    }
    if (!mobile.isEmpty() && !mobileLike(mobile)) {
        return QString::fromUtf8("手机号码应为1开头的11位数字。");
    }
    // The operator's own area parts stand; the parts its scope leaves open come from the form.
    const Area own = areaOf(self.profile);
    Area area;
    for (std::size_t i = 0; i < area.size(); ++i) {
        if (!own[i].empty()) {
            area[i] = own[i];
            continue;
        }
        const QString part = field(fields, kAreaKeys[i]);
        if (part.isEmpty() || part.size() > kAreaLength) {
            return QString::fromUtf8("请填写%1。").arg(QString::fromUtf8(kAreaNames[i]));
        }
        if (!gbkInto(part, kAreaNames[i], area[i], error)) {
            return error;
        }
    }
    const QString address = field(fields, "address");
    if (address.isEmpty() || address.size() > kAddressLength) {
        return QString::fromUtf8("请填写详细地址（至多%1个字）。").arg(kAddressLength);
    }
    for (int row = 1; row <= kFamilyRows; ++row) {
        const QString familyName = field(fields, QString("family%1_name").arg(row));
        const QString familyPhone = field(fields, QString("family%1_phone").arg(row));
        if (familyName.isEmpty() && familyPhone.isEmpty()) {
            continue;
        }
        if (familyName.isEmpty() || familyName.size() > kNameLength || !phoneLike(familyPhone)) {
            return QString::fromUtf8("家属联系人%1需要姓名和电话。").arg(row);
        }
        FamilyContact contact;
        if (!gbkInto(familyName, "家属姓名", contact.name, error) ||
            !gbkInto(familyPhone, "家属电话", contact.phone, error)) {
            return error;
        }
        account.family.push_back(std::move(contact));
    }
    if (!gbkInto(name, "姓名", account.name, error) ||
        !gbkInto(address, "详细地址", account.address, error)) {
        return error;
    }
    account.phone = phone.toStdString();
    account.mobile = mobile.toStdString();
    for (const std::string* number : {&account.phone, &account.mobile}) {
        if (!number->empty() && phoneTaken(directory, *number)) {
            return QString::fromUtf8("号码 %1 已登记给另一位呼叫客户。")
                .arg(QString::fromStdString(*number));
        }
    }
    UserRecord& profile = account.profile;
    profile.id = nextSubscriberId(directory);
    profile.nick = account.name;
    profile.typeCode = "U";
    profile.sex = static_cast<uint8_t>(sex.toUInt());
    profile.age = static_cast<uint8_t>(age);
    profile.province = area[0];
    profile.city = area[1];
    profile.district = area[2];
    profile.street = area[3];
    profile.community = area[4];
    // A subscriber of an organisation operator belongs to that organisation.
    if (self.profile.scopeKind == 1 && self.profile.scopeId > 0) {
        account.orgFlag = 1;
        account.orgId = self.profile.scopeId;
    }
    return account;
}

std::variant<uint32_t, QString> SubscriberForm::create(const QUrlQuery& fields, const Account& self,
                                                       Directory& directory) {
    auto made = read(fields, self, directory);
    if (auto* error = std::get_if<QString>(&made)) {
        return *error;
    }
    Account& account = std::get<Account>(made);
    const uint32_t id = account.profile.id;
    if (!directory.add(std::move(account))) {
        return QString::fromUtf8("无法保存这位呼叫客户。");
    }
    return id;
}

QString SubscriberForm::page(const QUrlQuery& query, const Account* self) {
    const QString title = QString::fromUtf8("创建呼叫客户");
    if (self == nullptr) {
        return unknownOperatorPage(title);
    }
    const Area own = areaOf(self->profile);
    QString area;
    for (std::size_t i = 0; i < own.size(); ++i) {
        area += own[i].empty() ? QString("<input name=\"%1\" size=\"10\" placeholder=\"%2\"> ")
                                     .arg(kAreaKeys[i], QString::fromUtf8(kAreaNames[i]))
                               : shown(own[i]) + " ";
    }
    QString family;
    for (int row = 1; row <= kFamilyRows; ++row) {
        family +=
            QString::fromUtf8("<tr><th>家属联系人%1</th><td>姓名 <input name=\"family%1_name\" "
                              "size=\"12\"> 电话 <input name=\"family%1_phone\" size=\"14\">"
                              "</td></tr>\n")
                .arg(row);
    }
    const QString body =
        "<h2>" + title + "</h2>\n<form id=\"create\" method=\"post\">" + carriedFields(query) +
        QString::fromUtf8(
            "<table>\n<tr><th>姓名</th><td><input name=\"name\" size=\"12\"></td></tr>\n"
            "<tr><th>性别</th><td><label><input type=\"radio\" name=\"sex\" value=\"1\">男"
            "</label> <label><input type=\"radio\" name=\"sex\" value=\"2\">女</label></td></tr>\n"
            "<tr><th>年龄</th><td><input name=\"age\" size=\"4\"></td></tr>\n"
            "<tr><th>电话</th><td><input name=\"phone\" size=\"16\"></td></tr>\n"
            "<tr><th>手机</th><td><input name=\"mobile\" size=\"16\"></td></tr>\n"
            "<tr><th>所在地区</th><td>") +
        area +
        QString::fromUtf8("</td></tr>\n<tr><th>详细地址</th><td><input name=\"address\" "
                          "size=\"40\"></td></tr>\n") +
        family +
        QString::fromUtf8("</table>\n<p><input type=\"submit\" id=\"save\" value=\"创建\"></p>"
                          "</form>\n<p id=\"result\"></p>\n");
    // The form goes by script with the control header, which the server asks of every POST;
    // the answer, good or bad, shows on the page.
    const QString script = QString::fromUtf8(
        "const form = document.getElementById('create');\n"
        "const result = document.getElementById('result');\n"
        "form.addEventListener('submit', async (event) => {\n"
        "  event.preventDefault();\n"
        "  result.className = ''; result.textContent = '正在保存…';\n"
        "  try {\n"
        "    const answer = await fetch(location.pathname + location.search, {method: 'POST',\n"
        "      headers: {'X-Quorvane-Control': '1',\n"
        "                'Content-Type': 'application/x-www-form-urlencoded'},\n"
        "      body: new URLSearchParams(new FormData(form)).toString()});\n"
        "    const data = await answer.json();\n"
        "    if (data.id) {\n"
        "      result.className = 'ok';\n"
        "      result.textContent = '已创建呼叫客户 ' + data.id + ' ' + data.name;\n"
        "      result.dataset.id = data.id;\n"
        "      form.reset();\n"
        "    } else {\n"
        "      result.className = 'error'; result.textContent = data.error;\n"
        "    }\n"
        "  } catch (e) {\n"
        "    result.className = 'error'; result.textContent = '无法连接服务器。';\n"
        "  }\n"
        "});\n");
    return htmlPage(title, body, script);
}

} // namespace talmor::server
