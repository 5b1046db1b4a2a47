#include "widgets/animatedpicture.h"

namespace talmor {

AnimatedPicture::AnimatedPicture(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignCenter);
}

bool AnimatedPicture::load(const QString& path) {
    movie_.stop();
    movie_.setFileName(path);
    if (!movie_.isValid()) {
        setMovie(nullptr);
        return false;
    }
    setMovie(&movie_);
    return true;
}

void AnimatedPicture::start() {
    if (movie_.isValid()) {
        movie_.start();
    }
}

void AnimatedPicture::stop() {
    movie_.stop();
}

} // namespace talmor
