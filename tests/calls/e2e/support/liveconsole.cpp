#include "support/liveconsole.h"

#include "calls/callintake.h"
#include "calls/callparts.h"
#include "console/talmormanagerdlg.h"
#include "kit/appfolders.h"
#include "support/qtapp.h"

namespace talmor::e2e {

namespace {

class RecordedSounds : public SoundOutput {
public:
    explicit RecordedSounds(std::shared_ptr<std::vector<int>> events)
        : events_(std::move(events)) {}
    void play(int event, const QString&) override { events_->push_back(event); }

private:
    std::shared_ptr<std::vector<int>> events_;
};

} // namespace

void UseTemporaryApplicationFolder() {
    static testing::TempFolder folder;
    setApplicationFolders({folder.path(), folder.path()});
}

LiveConsole::LiveConsole(uint16_t udpPort, uint16_t httpPort, bool withBrowser)
    : sounds_(std::make_shared<std::vector<int>>()) {
    testing::EnsureApplication();
    UseTemporaryApplicationFolder();
    deployment_.port = udpPort;
    deployment_.backOfficeHost = QString("127.0.0.1:%1").arg(httpPort);
    window_ =
        std::make_unique<CTalmorManagerDlg>(environment_.services(), deployment_, ui, withBrowser);
    environment_.setTimerTarget([this](int id) { window_->onTimer(id); });
    InstallCallParts(*window_);
    intake_ = window_->routes().intake;
    intake_->setSoundOutput(std::make_unique<RecordedSounds>(sounds_));
}

LiveConsole::~LiveConsole() {
    environment_.setTimerTarget({});
    window_.reset();
}

void LiveConsole::login(uint32_t operatorId, const std::string& password) {
    window_->StartLogin(operatorId, password);
}

bool LiveConsole::ready() const {
    return window_->ready();
}

} // namespace talmor::e2e
