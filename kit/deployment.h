#pragma once

#include <QString>

#include <cstdint>

namespace talmor {

// Values of the deployment, read from the INI file: where the servers and the web sites are.
// Defaults point at a quorvane-server on 127.0.0.1 (datagrams on 8000, web pages on 8080).
struct Deployment {
    // [server]
    QString primaryServer = "127.0.0.1";
    QString backupServer = "127.0.0.1";
    uint16_t port = 8000;
    // [web]: the back office is host[:port]; the sites are whole base URLs without a final '/'.
    QString backOfficeHost = "127.0.0.1:8080";
    QString publicSite = "http://127.0.0.1:8080/site";
    QString shoppingSite = "http://127.0.0.1:8080/shop";
    QString dataSite = "http://127.0.0.1:8080/data";
    QString mallSite = "http://127.0.0.1:8080/mall";
    QString mailSite = "http://127.0.0.1:8080/mail";
    QString officeSite = "http://127.0.0.1:8080/office";
    QString evaluationSite = "http://127.0.0.1:8080/evaluation";
    QString callOutService = "http://127.0.0.1:8080/callout";
    QString positionService = "http://127.0.0.1:8080/position";
    QString memberInfoHost = "http://127.0.0.1:8080/member";
    QString providerMemberInfoHost = "http://127.0.0.1:8080/providermember";
    QString hotelPage = "http://127.0.0.1:8080/outside/hotel";
    QString flightPage = "http://127.0.0.1:8080/outside/flight";
    QString trainPage = "http://127.0.0.1:8080/outside/train";
    // [audio]: the voice talk's capture and playback devices by name; empty for the system's
    // default device.
    QString audioInput;
    QString audioOutput;
    // [video]: "camera" or "testpattern".
    QString videoSource = "camera";
    // [updater]: the program started when the server asks for a newer console, relative to
    // applicationFolder unless absolute.
    QString updater = "update";

    // "http://" + the back-office host + "/".
    QString backOfficeBase() const { return "http://" + backOfficeHost + "/"; }
    // The server of `serverIndex`: 0 primary, 1 backup.
    QString server(int serverIndex) const {
        return serverIndex == 1 ? backupServer : primaryServer;
    }
};

// TALMOR_CONFIG when set, else talmormanager.ini in applicationFolder.
QString DeploymentFile(const QString& applicationFolder, const char* talmorConfig);
// The values of the file; a missing file or key keeps its default. A port that is not a number
// from 1 to 65535 keeps the default too.
Deployment LoadDeployment(const QString& path);

} // namespace talmor
