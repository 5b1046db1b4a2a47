#include "kit/deployment.h"

#include <QSettings>

namespace talmor {

namespace {

void Read(const QSettings& ini, const char* key, QString& value) {
    const QString text = ini.value(key).toString().trimmed();
    if (!text.isEmpty()) {
        value = text;
    }
}

QString WithoutFinalSlash(QString url) {
    while (url.endsWith('/')) {
        url.chop(1);
    }
    return url;
}

} // namespace

QString DeploymentFile(const QString& applicationFolder, const char* talmorConfig) {
    if (talmorConfig != nullptr && *talmorConfig != '\0') {
        return QString::fromLocal8Bit(talmorConfig);
    }
    return applicationFolder + "talmormanager.ini";
}

Deployment LoadDeployment(const QString& path) {
    Deployment d;
    const QSettings ini(path, QSettings::IniFormat);
    Read(ini, "server/primary", d.primaryServer);
    Read(ini, "server/backup", d.backupServer);
    bool ok = false;
    const uint port = ini.value("server/port").toString().trimmed().toUInt(&ok);
    if (ok && port >= 1 && port <= 65535) {
        d.port = static_cast<uint16_t>(port);
    }
    Read(ini, "web/backoffice", d.backOfficeHost);
    d.backOfficeHost = WithoutFinalSlash(d.backOfficeHost);
    const std::pair<const char*, QString*> sites[] = {
        {"web/public", &d.publicSite},
        {"web/shopping", &d.shoppingSite},
        {"web/data", &d.dataSite},
        {"web/mall", &d.mallSite},
        {"web/mail", &d.mailSite},
        {"web/office", &d.officeSite},
        {"web/evaluation", &d.evaluationSite},
        {"web/callout", &d.callOutService},
        {"web/position", &d.positionService},
        {"web/memberinfo", &d.memberInfoHost},
        {"web/providermemberinfo", &d.providerMemberInfoHost},
        {"web/hotel", &d.hotelPage},
        {"web/flight", &d.flightPage},
        {"web/train", &d.trainPage},
    };
    for (const auto& [key, value] : sites) {
        Read(ini, key, *value);
        *value = WithoutFinalSlash(*value);
    }
    Read(ini, "audio/input", d.audioInput);
    Read(ini, "audio/output", d.audioOutput);
    Read(ini, "video/source", d.videoSource);
    Read(ini, "updater/program", d.updater);
    return d;
}

} // namespace talmor
