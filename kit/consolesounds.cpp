#include "kit/consolesounds.h"

#include "console/talmormanagerdlg.h"

namespace talmor {

ConsoleSounds::ConsoleSounds(const storage::ConsoleOptions& options, QObject* parent)
    : QObject(parent), output_(std::make_unique<QtSoundOutput>()), player_(options, *output_) {}

void ConsoleSounds::setOutput(std::unique_ptr<SoundOutput> output) {
    output_ = std::move(output);
    player_.setOutput(*output_);
}

ConsoleSounds& InstallConsoleSounds(CTalmorManagerDlg& window) {
    auto* sounds = new ConsoleSounds(window.options(), &window);
    window.routes().sounds = sounds;
    return *sounds;
}

} // namespace talmor
