#pragma once

#include <QObject>

#include <memory>

#include "kit/eventroutes.h"
#include "kit/soundplayer.h"

namespace talmor {

class ConsoleHost;

// The console's sound events on one output: the call alarms, the chat's "message arrived" and
// the lost connection cut each other as one speaker would. It lives as long as the main window.
class ConsoleSounds : public QObject, public SoundReceiver {
public:
    ConsoleSounds(const storage::ConsoleOptions& options, QObject* parent);

    void playSoundEvent(int event) override { player_.PlaySoundEvent(event); }
    // Replaces where the sounds go (tests record them).
    void setOutput(std::unique_ptr<SoundOutput> output);

private:
    std::unique_ptr<SoundOutput> output_;
    SoundPlayer player_;
};

// Puts the console's sounds into `window` as its routes().sounds.
ConsoleSounds& InstallConsoleSounds(ConsoleHost& window);

} // namespace talmor
