// FRA realtime readings on the three-channel model: measuring the third
// input too turns six tiles into ten, and every label and value is fitted
// to the new tiles at once, without a trip to another view.

#include "tests/journeys/mode_journey.h"

namespace {

constexpr int FRA_REALTIME = 14502;
constexpr int FRA_START = 14506;
const char* const FRA_VIEW = "QXTarvelo2FRAResultsWClass";

} // namespace

class three_channel_tiles : public mode_journey {
protected:
    // START, until a reading is shown; then the tiles are checked and STOP.
    void read_once(const std::string& shot, size_t tiles)
    {
        const QImage idle = view_picture(FRA_VIEW);
        click_id(FRA_START);
        ASSERT_TRUE(wait_for([&] { return view_picture(FRA_VIEW) != idle; }))
            << "no reading is shown";
        std::vector<s_chart_text> texts;
        EXPECT_EQ(painted(FRA_VIEW, texts), std::vector<std::string>{}) << shot;
        EXPECT_EQ(texts.size(), 2 * tiles) << "labels and values of " << shot;
        size_t value_boxes = 0;
        EXPECT_EQ(cut_tile_texts(view_picture(FRA_VIEW), &value_boxes), std::vector<std::string>{})
            << shot;
        EXPECT_EQ(value_boxes, tiles) << "value boxes of " << shot;
        screenshot(shot);
        click_id(FRA_START);
        EXPECT_TRUE(wait_for([&] { return control_text(FRA_START) == "START"; }));
    }
};

TEST_F(three_channel_tiles, TilesRefitWhenTheThirdInputIsMeasured)
{
    run("HXM6300", [&] {
        connect_to_instrument();
        click("ACQU");
        ASSERT_EQ(field_text("Input"), "2 Channels");
        click_id(FRA_REALTIME);
        read_once("six_tiles", 6);

        click_field("Input"); // the list opens
        key(Qt::Key_Down);
        key(Qt::Key_Return);
        ASSERT_EQ(field_text("Input"), "3 Channels");
        click("SET UP HXM");
        read_once("ten_tiles", 10);
    });
}
