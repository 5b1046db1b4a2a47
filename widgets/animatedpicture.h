#pragma once

#include <QLabel>
#include <QMovie>

namespace talmor {

// Plays an animated GIF in a loop. A file that cannot be read leaves the picture empty.
class AnimatedPicture : public QLabel {
    Q_OBJECT
public:
    explicit AnimatedPicture(QWidget* parent = nullptr);

    // Loads the file; false when it is missing or not an animation Qt can read.
    bool load(const QString& path);
    void start();
    void stop();
    bool playing() const { return movie_.state() == QMovie::Running; }
    int frameCount() const { return movie_.frameCount(); }

private:
    QMovie movie_;
};

} // namespace talmor
