#include "support/videoconsole.h"

#include "kit/appfolders.h"
#include "support/qtapp.h"

namespace talmor::e2e {

void UseVideoApplicationFolder() {
    static testing::TempFolder folder;
    setApplicationFolders({folder.path(), folder.path()});
}

namespace {

// The folder is chosen before the window that reads it is built.
Deployment VideoDeployment(uint16_t udpPort, uint16_t httpPort, const QString& videoSource) {
    testing::EnsureApplication();
    UseVideoApplicationFolder();
    Deployment deployment = MediaDeployment(udpPort, httpPort);
    deployment.videoSource = videoSource;
    return deployment;
}

} // namespace

VideoConsole::VideoConsole(uint16_t udpPort, uint16_t httpPort, const QString& videoSource)
    : MediaConsole(VideoDeployment(udpPort, httpPort, videoSource)) {
    ui.answerYes = true;
}

} // namespace talmor::e2e
