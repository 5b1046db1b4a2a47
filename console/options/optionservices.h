#pragma once

#include <QString>

#include <functional>

#include "storage/consoleoptions.h"

class QWidget;

namespace talmor {

class ConsoleUi;

// What the options sheet needs from outside: message boxes, a speaker for 播放 and the
// file dialog of 浏览. Tests answer in place of the operator.
struct OptionServices {
    ConsoleUi& ui;
    // Plays the wave file `file` for sound event `event` at once.
    std::function<void(int event, const QString& file)> play;
    // The wave file the operator chose in an open-file dialog over `owner`; empty when cancelled.
    std::function<QString(QWidget* owner)> chooseWave;
    // The safety switches of a first run (the INI's); all on when unset.
    std::function<storage::SafetySwitches()> safetyDefaults;
};

} // namespace talmor
