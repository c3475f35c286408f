// Progress texts: percentages, an estimate of the time left, or a count.

#include "base/progress_display.h"

#include "base/time_text.h"

#include <algorithm>

void progress_display::open()
{
    percent_ = false;
    total_ = 0;
    position_ = 0;
    marquee_ = true;
    text_.clear();
}

void progress_display::toggle_percent()
{
    if (percent_) {
        percent_ = false;
        return;
    }
    estimate_ = false;
    percent_ = true;
}

void progress_display::toggle_estimate()
{
    if (percent_) {
        estimate_ = false;
        return;
    }
    estimate_ = true;
    percent_ = false;
}

void progress_display::set_range(int total, int64_t now_ms)
{
    total_ = total;
    if (total == 0) {
        text_.clear();
        marquee_ = true;
        position_ = 0;
        return;
    }
    position_ = 0;
    start_ms_ = now_ms;
    marquee_ = false;
    if (percent_)
        text_ = "0% complete";
    else if (estimate_)
        text_ = "Estimated time remaining: Unknown";
    else
        text_ = "Progress: 0/" + std::to_string(total);
}

void progress_display::step(int64_t now_ms)
{
    set_position(position_ + 1, now_ms);
}

void progress_display::set_position(int position, int64_t now_ms)
{
    position_ = std::min(position, total_);
    update_text(now_ms);
}

void progress_display::update_text(int64_t now_ms)
{
    if (percent_) {
        const int pct = total_ ? static_cast<int>(100.0 * position_ / total_) : 0;
        text_ = std::to_string(pct) + "% complete";
    } else if (estimate_) {
        text_ = "Estimated time remaining: " + estimate_text(now_ms);
    } else {
        text_ = "Progress: " + std::to_string(position_) + "/" + std::to_string(total_);
    }
}

// The time left at the pace so far, to its largest unit ("2 Minutes").
std::string progress_display::estimate_text(int64_t now_ms) const
{
    if (position_ <= 0)
        return "Unknown";
    const int64_t per_step = (now_ms - start_ms_) / position_;
    const int64_t remaining = (total_ - position_) * per_step;
    std::string words =
        duration_text(duration_split(remaining, false), DURATION_WORDS | DURATION_SECONDS);
    words = words.substr(0, words.find(','));
    return words.empty() ? "Unknown" : words;
}
