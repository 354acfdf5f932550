// The red marker that runs back and forth on the line between the two icons
// while a run is active.
#pragma once

constexpr int kMarkerStep = 20;
constexpr int kMarkerTurnInset = 5;
constexpr int kMarkerHalfSize = 3;

class ActivityMarker {
public:
    // The line's ends, known once the window is laid out.
    void set_line(int left, int right) {
        left_ = left;
        right_ = right;
    }

    void start() {
        x_ = left_;
        step_ = kMarkerStep;
    }
    // One timer tick: move one step, turning a few pixels inside the ends.
    void tick() {
        x_ += step_;
        if (x_ > right_) {
            step_ = -kMarkerStep;
            x_ = right_ - kMarkerTurnInset;
        }
        if (x_ < left_) {
            step_ = kMarkerStep;
            x_ = left_ + kMarkerTurnInset;
        }
    }
    int x() const { return x_; }
    int step() const { return step_; }

private:
    int left_ = 0;
    int right_ = 0;
    int x_ = 0;
    int step_ = 0;
};
