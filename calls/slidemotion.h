#pragma once

namespace talmor {

// The course of the service message box: it rises one pixel per tick to its full height,
// holds, then sinks one pixel per tick and is done. Every box starts from height 0, so a box
// closed early cannot make the next one start half risen.
class SlideMotion {
public:
    enum class Phase { Rising, Holding, Sinking, Done };
    static constexpr int kFullHeight = 117;

    Phase phase() const { return phase_; }
    int height() const { return height_; }

    // One tick of the slide timer while rising or sinking; no effect in another phase.
    void tick();
    // The hold is over: sinking starts.
    void holdOver();

private:
    Phase phase_ = Phase::Rising;
    int height_ = 0;
};

} // namespace talmor
