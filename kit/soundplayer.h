#pragma once

#include <QString>

#include <memory>
#include <string>

#include "storage/consoleoptions.h"

class QSoundEffect;

namespace talmor {

// Where the console's sounds go: the speakers in the program, a recorder in the tests.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Plays the wave file `path` at once, cutting the sound that plays.
    virtual void play(int event, const QString& path) = 0;
};

// The file name of a sound path of the options: the console writes UTF-8 folder names, an older
// options file may hold GBK.
QString SoundPathText(const std::string& stored);
// The file to play for `path`: a file of the default sound folder that is missing there is taken
// from the installed assets.
QString SoundFileToPlay(const QString& path);

// Sound events 0 to 9 for the whole console: nothing for another number or while the
// operator's sounds are off (option bit 1); else the event's wave file from the options. A
// file of the default sound folder that is missing there is taken from the installed assets.
class SoundPlayer {
public:
    SoundPlayer(const storage::ConsoleOptions& options, SoundOutput& output)
        : options_(options), output_(&output) {}

    void PlaySoundEvent(int event);
    void setOutput(SoundOutput& output) { output_ = &output; }

private:
    const storage::ConsoleOptions& options_;
    SoundOutput* output_;
};

// Qt Multimedia's short-sound player; the effect of each file is loaded once and kept.
class QtSoundOutput : public SoundOutput {
public:
    QtSoundOutput();
    ~QtSoundOutput() override;
    void play(int event, const QString& path) override;

private:
    struct Effects;
    std::unique_ptr<Effects> effects_;
};

} // namespace talmor
