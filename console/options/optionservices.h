#pragma once

#include <QString>

#include <functional>

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
};

} // namespace talmor
