#pragma once

#include <array>

#include "console/options/optionpage.h"
#include "console/options/optionservices.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace talmor {

// "声音设置": sounds on or off, the two reminder sounds and the wave file of each of the ten
// sound events, with 浏览 to choose one and 播放 to try it.
class COptionSoundDlg : public COptionPage {
    Q_OBJECT
public:
    COptionSoundDlg(const std::string& userFolder, const OptionServices& services, QWidget* parent);

    QString check() override;
    void store() override;

    QCheckBox* soundsOn() const { return soundsOn_; }
    QCheckBox* helpReminder() const { return helpReminder_; }
    QCheckBox* sosReminder() const { return sosReminder_; }
    QComboBox* events() const { return events_; }
    QLineEdit* path() const { return path_; }
    QPushButton* browseButton() const { return browse_; }
    QPushButton* playButton() const { return play_; }

private:
    void eventChosen(int event);
    void browse();
    void play();
    QString eventName(std::size_t event) const;

    const OptionServices& services_;
    QCheckBox* soundsOn_;
    QCheckBox* helpReminder_;
    QCheckBox* sosReminder_;
    QComboBox* events_;
    QLineEdit* path_;
    QPushButton* browse_;
    QPushButton* play_;
    // The path of each event as stored (its text) and as edited.
    std::array<QString, storage::kSoundEventCount> stored_;
    std::array<QString, storage::kSoundEventCount> paths_;
    std::size_t shown_ = 0;
};

} // namespace talmor
