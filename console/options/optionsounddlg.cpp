#include "console/options/optionsounddlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "console/options/optionrules.h"
#include "console/options/optiontexts.h"
#include "console/options/wavefile.h"
#include "kit/consoleui.h"
#include "kit/gbkguard.h"
#include "kit/gbktext.h"
#include "kit/soundplayer.h"

namespace talmor {

COptionSoundDlg::COptionSoundDlg(const std::string& userFolder, const OptionServices& services,
                                 QWidget* parent)
    : COptionPage(userFolder, parent), services_(services),
      soundsOn_(optionBox(text::kSoundsOn, storage::kOptionSoundsOn)),
      helpReminder_(optionBox(text::kHelpReminderSound, storage::kOptionHelpReminder)),
      sosReminder_(optionBox(text::kSosReminderSound, storage::kOptionSosReminder)),
      events_(new QComboBox(this)), path_(new QLineEdit(this)),
      browse_(new QPushButton(QString::fromUtf8(text::kBrowseSound), this)),
      play_(new QPushButton(QString::fromUtf8(text::kPlaySound), this)) {
    for (std::size_t i = 0; i < storage::kSoundEventCount; ++i) {
        events_->addItem(eventName(i));
        stored_[i] = SoundPathText(options_.soundPaths[i]);
    }
    paths_ = stored_;
    path_->setText(paths_[0]);
    new GbkGuard(path_);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(soundsOn_);
    boxes->addWidget(helpReminder_);
    boxes->addWidget(sosReminder_);
    boxes->addStretch();
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QString::fromUtf8(text::kSoundEvent), this), 0, 0);
    grid->addWidget(events_, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QString::fromUtf8(text::kSoundFile), this), 1, 0);
    grid->addWidget(path_, 1, 1, 1, 2);
    grid->addWidget(browse_, 2, 1, Qt::AlignRight);
    grid->addWidget(play_, 2, 2);
    grid->setColumnStretch(1, 1);
    auto* page = new QVBoxLayout(this);
    page->addLayout(boxes);
    page->addLayout(grid);
    page->addStretch();

    connect(events_, &QComboBox::currentIndexChanged, this, &COptionSoundDlg::eventChosen);
    connect(browse_, &QPushButton::clicked, this, &COptionSoundDlg::browse);
    connect(play_, &QPushButton::clicked, this, &COptionSoundDlg::play);
}

QString COptionSoundDlg::eventName(std::size_t event) const {
    return FromGbk(storage::kSoundEventNames[event]);
}

void COptionSoundDlg::eventChosen(int event) {
    if (event < 0) {
        return;
    }
    paths_[shown_] = path_->text();
    shown_ = static_cast<std::size_t>(event);
    path_->setText(paths_[shown_]);
}

void COptionSoundDlg::browse() {
    const QString chosen = services_.chooseWave ? services_.chooseWave(this) : QString();
    if (chosen.isEmpty()) {
        return;
    }
    const QString refusal = RefuseSoundFile(chosen, eventName(shown_));
    if (!refusal.isEmpty()) {
        services_.ui.error(this, refusal);
        return;
    }
    path_->setText(chosen);
}

void COptionSoundDlg::play() {
    // A path that names no playable file plays nothing, without a message.
    const QString file = SoundFileToPlay(path_->text());
    if (ToGbk(file) && IsPlayableWave(file.toStdString())) {
        services_.play(static_cast<int>(shown_), file);
    }
}

QString COptionSoundDlg::check() {
    paths_[shown_] = path_->text();
    // The paths as they were stored stay as they are, even when their file is gone for now.
    for (std::size_t i = 0; i < paths_.size(); ++i) {
        if (paths_[i] == stored_[i]) {
            continue;
        }
        const QString refusal = RefuseSoundFile(paths_[i], eventName(i));
        if (!refusal.isEmpty()) {
            events_->setCurrentIndex(static_cast<int>(i));
            return refusal;
        }
    }
    return {};
}

void COptionSoundDlg::store() {
    const bool on = soundsOn_->isChecked();
    const bool help = helpReminder_->isChecked();
    const bool sos = sosReminder_->isChecked();
    std::array<std::string, storage::kSoundEventCount> paths;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        // An untouched path keeps its bytes (an older file may hold GBK).
        paths[i] = paths_[i] == stored_[i] ? options_.soundPaths[i] : paths_[i].toStdString();
    }
    storeOwnFields([&](storage::ConsoleOptions& options) {
        options.setBit(storage::kOptionSoundsOn, on);
        options.setBit(storage::kOptionHelpReminder, help);
        options.setBit(storage::kOptionSosReminder, sos);
        options.soundPaths = paths;
    });
}

} // namespace talmor
