// The log query's progress bar as drawn: its range as the control holds it
// (16-bit ends, from 1 to the counter's low 16 bits) and the pixel its filled
// part reaches. A position is sent only when that pixel moves: every position
// message repaints the bar, and a busy day has far more lines than the bar
// has pixels.
#pragma once

class DrawnProgress {
public:
    DrawnProgress(long counter, int width);

    int range_max() const { return max_; }
    // True when `line` fills the bar to another pixel than the last position
    // that was sent; that position is then taken as sent.
    bool moves(long line);

private:
    int pixel(long line) const;

    int max_;
    int width_;
    int drawn_ = 0;
};
