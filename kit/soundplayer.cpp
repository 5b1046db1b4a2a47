#include "kit/soundplayer.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QStringDecoder>
#include <QUrl>

#include <map>

#include "kit/appfolders.h"
#include "kit/gbktext.h"
#include "kit/startupmarks.h"

namespace talmor {

QString SoundPathText(const std::string& stored) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(QByteArray::fromStdString(stored));
    return utf8.hasError() ? FromGbk(stored) : text;
}

QString SoundFileToPlay(const QString& path) {
    const QString ownFolder = QString::fromStdString(applicationFolder()) + "Sound/";
    if (path.startsWith(ownFolder) && !QFileInfo::exists(path)) {
        return QString::fromStdString(assetFolder()) + "Sound/" + path.mid(ownFolder.size());
    }
    return path;
}

void SoundPlayer::PlaySoundEvent(int event) {
    if (event < 0 || event >= static_cast<int>(storage::kSoundEventCount) ||
        !options_.bit(storage::kOptionSoundsOn)) {
        return;
    }
    const QString path =
        SoundFileToPlay(SoundPathText(options_.soundPaths[static_cast<std::size_t>(event)]));
    Mark(("sound " + std::to_string(event)).c_str());
    output_->play(event, path);
}

struct QtSoundOutput::Effects {
    std::map<QString, std::unique_ptr<QSoundEffect>> byPath;
    QSoundEffect* playing = nullptr;
};

QtSoundOutput::QtSoundOutput() : effects_(std::make_unique<Effects>()) {}

QtSoundOutput::~QtSoundOutput() = default;

void QtSoundOutput::play(int, const QString& path) {
    std::unique_ptr<QSoundEffect>& effect = effects_->byPath[path];
    if (!effect) {
        effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(path));
    }
    if (effects_->playing != nullptr) {
        effects_->playing->stop();
    }
    effects_->playing = effect.get();
    effect->play();
}

} // namespace talmor
