#include "kit/consolesounds.h"

#include "kit/consolehost.h"
#include "storage/consoleoptions.h"

namespace talmor {

ConsoleSounds::ConsoleSounds(const storage::ConsoleOptions& options, QObject* parent)
    : QObject(parent), output_(std::make_unique<QtSoundOutput>()), player_(options, *output_) {}

void ConsoleSounds::setOutput(std::unique_ptr<SoundOutput> output) {
    output_ = std::move(output);
    player_.setOutput(*output_);
}

ConsoleSounds& InstallConsoleSounds(ConsoleHost& window) {
    auto* sounds = new ConsoleSounds(window.options(), &window.mainWidget());
    window.routes().sounds = sounds;
    return *sounds;
}

} // namespace talmor
