#pragma once
// What the progress dialog shows: the progress text and the bar's range,
// position and marquee, for the commands a worker posts. One dialog shows
// at a time, so the modes are kept from one dialog to the next; opening
// turns percent mode off and clears the range.

#include <cstdint>
#include <string>

class progress_display {
public:
    void open();
    void toggle_percent();
    void toggle_estimate();
    void set_range(int total, int64_t now_ms);
    void step(int64_t now_ms);
    void set_position(int position, int64_t now_ms);
    // The worker starts now: the estimate counts from here.
    void start(int64_t now_ms) { start_ms_ = now_ms; }

    const std::string& text() const { return text_; }
    bool marquee() const { return marquee_; }
    int total() const { return total_; }
    int position() const { return position_; }
    bool percent_mode() const { return percent_; }
    bool estimate_mode() const { return estimate_; }

private:
    void update_text(int64_t now_ms);
    std::string estimate_text(int64_t now_ms) const;

    bool percent_ = false;
    bool estimate_ = false;
    int total_ = 0;
    int position_ = 0;
    int64_t start_ms_ = 0;
    bool marquee_ = true;
    std::string text_;
};
