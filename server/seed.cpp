#include "server/seed.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "server/calllists.h"
#include "server/gbk.h"

namespace talmor::server {

namespace {

// Reads fields of one JSON object, remembering the first fault.
class Reader {
public:
    Reader(QString& error, QString where) : error_(error), where_(std::move(where)) {}

    bool failed() const { return !error_.isEmpty(); }
    void fail(const QString& what) {
        if (error_.isEmpty()) {
            error_ = where_ + ": " + what;
        }
    }

    std::string text(const QJsonObject& object, const char* key) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() || value.isNull()) {
            return std::string();
        }
        if (!value.isString()) {
            fail(QString("\"%1\" is not a text").arg(key));
            return std::string();
        }
        return gbk(value.toString(), key);
    }

    std::string gbk(const QString& value, const char* key) {
        auto bytes = toGbk(value);
        if (!bytes) {
            fail(QString("\"%1\" holds a character GBK cannot write").arg(key));
            return std::string();
        }
        return *bytes;
    }

    uint32_t number(const QJsonObject& object, const char* key, uint32_t fallback = 0) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() || value.isNull()) {
            return fallback;
        }
        const double number = value.toDouble(-1);
        if (!value.isDouble() || number < 0 || number > 4294967295.0 ||
            number != static_cast<double>(static_cast<uint32_t>(number))) {
            fail(QString("\"%1\" is not a whole number from 0 to 4294967295").arg(key));
            return fallback;
        }
        return static_cast<uint32_t>(number);
    }

    uint8_t byte(const QJsonObject& object, const char* key) {
        const uint32_t value = number(object, key);
        if (value > 255) {
            fail(QString("\"%1\" is above 255").arg(key));
        }
        return static_cast<uint8_t>(value);
    }

    std::vector<uint32_t> ids(const QJsonObject& object, const char* key) {
        std::vector<uint32_t> list;
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined()) {
            return list;
        }
        if (!value.isArray()) {
            fail(QString("\"%1\" is not a list").arg(key));
            return list;
        }
        for (const QJsonValue& item : value.toArray()) {
            const double number = item.toDouble(-1);
            if (!item.isDouble() || number < 1 || number > 4294967295.0) {
                fail(QString("\"%1\" holds something that is not an id").arg(key));
                return list;
            }
            list.push_back(static_cast<uint32_t>(number));
        }
        return list;
    }

    std::vector<FamilyContact> people(const QJsonObject& object, const char* key) {
        std::vector<FamilyContact> list;
        for (const QJsonValue& item : object.value(QLatin1String(key)).toArray()) {
            const QJsonObject person = item.toObject();
            list.push_back(FamilyContact{text(person, "name"), text(person, "phone")});
        }
        return list;
    }

    Area area(const QJsonObject& object) {
        const QJsonObject area = object.value(QLatin1String("area")).toObject();
        return {text(area, "province"), text(area, "city"), text(area, "district"),
                text(area, "street"), text(area, "community")};
    }

private:
    QString& error_;
    QString where_;
};

const char* defaultTypeCode(AccountKind kind) {
    switch (kind) {
    case AccountKind::Operator:
        return "S";
    case AccountKind::Merchant:
        return "B";
    case AccountKind::Subscriber:
        break;
    }
    return "U";
}

void readRights(Reader& in, const QJsonObject& object, Account& account) {
    const QJsonValue value = object.value(QLatin1String("rights"));
    account.rights.longValue = in.number(object, "rightsValue");
    const uint32_t shortValue = in.number(object, "rightsShort");
    if (shortValue > 0xFFFF) {
        in.fail("\"rightsShort\" is above 65535");
    }
    account.rights.shortValue = static_cast<uint16_t>(shortValue);
    if (value.isString() && value.toString() == "all") {
        account.rights.rights.fill("Y");
        return;
    }
    if (value.isUndefined()) {
        account.rights.rights.fill("N");
        return;
    }
    const QJsonArray list = value.toArray();
    if (!value.isArray() || list.size() != static_cast<int>(kSeatRightCount)) {
        in.fail(
            QString("\"rights\" is neither \"all\" nor a list of %1 texts").arg(kSeatRightCount));
        return;
    }
    for (std::size_t i = 0; i < kSeatRightCount; ++i) {
        account.rights.rights[i] = in.gbk(list.at(static_cast<int>(i)).toString(), "rights");
    }
}

void readGroups(Reader& in, const QJsonObject& object, Account& account) {
    for (const QJsonValue& item : object.value(QLatin1String("groups")).toArray()) {
        const QJsonObject group = item.toObject();
        const uint32_t id = in.number(group, "id");
        if (id == 0 || account.hasGroup(id)) {
            in.fail("a group id is 0 or used twice");
            return;
        }
        account.groups.push_back(GroupEntry{id, in.text(group, "name")});
        for (uint32_t contact : in.ids(group, "contacts")) {
            if (!account.hasContact(contact)) {
                account.contactOrder.push_back(contact);
            }
            account.groupOf[contact] = id;
        }
    }
    for (uint32_t contact : in.ids(object, "ungrouped")) {
        if (!account.hasContact(contact)) {
            account.contactOrder.push_back(contact);
            account.groupOf[contact] = 0;
        }
    }
}

Account readAccount(Reader& in, const QJsonObject& object, AccountKind kind) {
    Account account;
    account.kind = kind;
    UserRecord& profile = account.profile;
    profile.id = in.number(object, "id");
    if (profile.id == 0) {
        in.fail("an account has no id");
    }
    account.password = in.text(object, "password");
    profile.nick = in.text(object, "nick");
    profile.typeCode = in.text(object, "typeCode");
    if (profile.typeCode.empty()) {
        profile.typeCode = defaultTypeCode(kind);
    }
    profile.age = in.byte(object, "age");
    profile.sex = in.byte(object, "sex");
    const QJsonArray texts = object.value(QLatin1String("profileTexts")).toArray();
    for (int i = 0; i < texts.size() && i < static_cast<int>(kProfileTextCount); ++i) {
        profile.profileText[static_cast<std::size_t>(i)] =
            in.gbk(texts.at(i).toString(), "profileTexts");
    }
    profile.pictureIndex = in.number(object, "pictureIndex");
    const Area area = in.area(object);
    profile.province = area[0];
    profile.city = area[1];
    profile.district = area[2];
    profile.street = area[3];
    profile.community = area[4];
    profile.scopeKind = in.number(object, "scopeKind");
    profile.scopeId = in.number(object, "scopeId");
    profile.extraText = in.text(object, "extraText");

    readRights(in, object, account);
    const QJsonArray levels = object.value(QLatin1String("multiLoginPasswords")).toArray();
    for (int i = 0; i < levels.size() && i < static_cast<int>(kMultiLoginLevels); ++i) {
        account.multiLoginPasswords[static_cast<std::size_t>(i)] =
            in.gbk(levels.at(i).toString(), "multiLoginPasswords");
    }
    account.accountValue = in.number(object, "accountValue");
    account.profileFlag = in.byte(object, "profileFlag");
    account.scopeCode = in.text(object, "scopeCode");
    account.scopeNotice = in.text(object, "scopeNotice");
    account.name = in.text(object, "name");
    account.phone = in.text(object, "phone");
    account.mobile = in.text(object, "mobile");
    account.email = in.text(object, "email");
    account.address = in.text(object, "address");
    account.mapMark = in.text(object, "mapMark");
    account.orgFlag = in.number(object, "orgFlag");
    account.orgId = in.number(object, "orgId");
    account.family = in.people(object, "family");
    account.otherContacts = in.people(object, "otherContacts");
    account.manager = in.text(object, "manager");
    account.managerMobile = in.text(object, "managerMobile");
    account.serviceContent = in.text(object, "serviceContent");
    readGroups(in, object, account);
    return account;
}

Seller readSeller(Reader& in, const QJsonObject& object) {
    Seller seller;
    seller.entry.id = in.number(object, "id");
    seller.entry.merchantName = in.text(object, "name");
    seller.entry.area = in.area(object);
    seller.entry.contactPerson = in.text(object, "contactPerson");
    seller.entry.phone = in.text(object, "phone");
    seller.entry.mobile = in.text(object, "mobile");
    seller.type = in.text(object, "type");
    seller.subType = in.text(object, "subType");
    return seller;
}

void readSettings(Reader& in, const QJsonObject& object, ServerSettings& settings) {
    settings.requiredClientVersion =
        in.number(object, "requiredClientVersion", settings.requiredClientVersion);
    settings.serverValue = in.number(object, "serverValue", settings.serverValue);
    settings.reminderEnabled = in.number(object, "reminderEnabled", settings.reminderEnabled);
    settings.reminderMinutes = in.number(object, "reminderMinutes", settings.reminderMinutes);
}

void readScenario(Reader& in, const QJsonObject& object, ScenarioConfig& scenario) {
    scenario.intervalMs = static_cast<int>(in.number(object, "intervalMs"));
    const QJsonObject weights = object.value(QLatin1String("categories")).toObject();
    for (auto it = weights.begin(); it != weights.end(); ++it) {
        bool ok = false;
        const uint32_t category = it.key().toUInt(&ok);
        if (!ok || category >= kCategoryCount) {
            in.fail("scenario category \"" + it.key() + "\" is not 0 to 26");
            return;
        }
        scenario.categoryWeights.emplace_back(category, static_cast<uint32_t>(it.value().toInt()));
    }
    scenario.users = in.ids(object, "users");
    for (const QJsonValue& item : object.value(QLatin1String("areas")).toArray()) {
        QJsonObject wrapper;
        wrapper.insert("area", item);
        scenario.areas.push_back(in.area(wrapper));
    }
    scenario.mobileShare = in.number(object, "mobileShare");
}

bool checkReferences(Seed& seed, QString& error) {
    for (const auto& [id, account] : seed.directory.accounts()) {
        for (uint32_t contact : account.contactOrder) {
            if (seed.directory.find(contact) == nullptr || contact == id) {
                error =
                    QString("account %1: contact %2 is not another account").arg(id).arg(contact);
                return false;
            }
        }
    }
    for (const SeedCall& call : seed.calls) {
        const Account* caller = seed.directory.find(call.user);
        if (caller == nullptr || caller->kind != AccountKind::Subscriber) {
            error = QString("call: user %1 is not a subscriber").arg(call.user);
            return false;
        }
        if (call.category >= kCategoryCount) {
            error = QString("call: category %1 is not 0 to 26").arg(call.category);
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<Seed> parseSeed(const QByteArray& json, QString& error) {
    error.clear();
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        error = "not a JSON object: " + parseError.errorString();
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    Seed seed;
    const std::pair<const char*, AccountKind> kinds[] = {
        {"operators", AccountKind::Operator},
        {"merchants", AccountKind::Merchant},
        {"subscribers", AccountKind::Subscriber},
    };
    for (const auto& [key, kind] : kinds) {
        for (const QJsonValue& item : root.value(QLatin1String(key)).toArray()) {
            const QJsonObject object = item.toObject();
            Reader in(error, QString("%1 %2").arg(key).arg(object.value("id").toDouble()));
            Account account = readAccount(in, object, kind);
            if (in.failed()) {
                return std::nullopt;
            }
            if (!seed.directory.add(std::move(account))) {
                error =
                    QString("%1: id %2 is used twice").arg(key).arg(object.value("id").toDouble());
                return std::nullopt;
            }
        }
    }
    Reader in(error, "seed");
    for (const QJsonValue& item : root.value(QLatin1String("sellers")).toArray()) {
        seed.directory.addSeller(readSeller(in, item.toObject()));
    }
    for (const QJsonValue& item : root.value(QLatin1String("calls")).toArray()) {
        const QJsonObject object = item.toObject();
        SeedCall call;
        call.user = in.number(object, "user");
        call.category = in.number(object, "category");
        call.secondsAgo = in.number(object, "secondsAgo");
        call.source = in.number(object, "source");
        call.serviceObject = in.text(object, "serviceObject");
        seed.calls.push_back(std::move(call));
    }
    readSettings(in, root.value(QLatin1String("settings")).toObject(), seed.settings);
    readScenario(in, root.value(QLatin1String("scenario")).toObject(), seed.scenario);
    if (in.failed() || !checkReferences(seed, error)) {
        return std::nullopt;
    }
    return seed;
}

std::optional<Seed> loadSeedFile(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = path + ": " + file.errorString();
        return std::nullopt;
    }
    return parseSeed(file.readAll(), error);
}

} // namespace talmor::server
