#include "fra/margin_slots.h"

#include "base/ui_seam.h"

namespace {

void append_all(LList<s_gain_phase_point>& to, LList<s_gain_phase_point> found)
{
    while (const s_gain_phase_point* p = found.next())
        to.append(*p);
}

void search_kind(std::array<s_margin_slot, MARGIN_SLOTS>& slots, margin_kind kind)
{
    for (s_margin_slot& slot : slots) {
        if (slot.points.empty())
            continue;
        LList<s_gain_phase_point> found = margin_search(slot.points, kind);
        if (found.empty()) {
            ui_message_box(nullptr, "On " + slot.test_name + ": \n" + margin_none_text(kind),
                           "Tarvelo2", MB_OK | MB_ICONINFORMATION);
            return;
        }
        append_all(kind == margin_kind::zero_db ? slot.zero_db : slot.zero_phase, std::move(found));
    }
}

} // namespace

void margin_search_slots(std::array<s_margin_slot, MARGIN_SLOTS>& slots)
{
    search_kind(slots, margin_kind::zero_db);
    search_kind(slots, margin_kind::zero_phase);
    for (s_margin_slot& slot : slots) {
        slot.gain_markers = !slot.zero_db.empty();
        slot.phase_markers = !slot.zero_phase.empty();
    }
}
