// The instrument's screen: downloaded from the HXM6300, shown and saved as
// a bitmap of the screen's size that holds what the window shows; the
// HXM4100 has no screen to fetch and says so before asking anything.

#include "tests/journeys/mode_journey.h"

namespace {

constexpr int DOWNLOAD = 15234;
const char* const CAPTURE_WINDOW = "QXTarvelo2CapWClass";

bool has_dark_pixels(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).lightness() < 64)
                return true;
    return false;
}

// Whether the picture holds the image, 240 pixels or so from its left
// edge (where the window places it), compared at every 5th pixel.
bool shows(const QImage& picture, const QImage& image)
{
    const QImage p = picture.convertToFormat(QImage::Format_RGB32);
    const QImage i = image.convertToFormat(QImage::Format_RGB32);
    for (int oy = 0; oy + i.height() <= p.height(); ++oy)
        for (int ox = 230; ox <= 250 && ox + i.width() <= p.width(); ++ox) {
            bool same = true;
            for (int y = 0; same && y < i.height(); y += 5)
                for (int x = 0; same && x < i.width(); x += 5)
                    same = p.pixel(ox + x, oy + y) == i.pixel(x, y);
            if (same)
                return true;
        }
    return false;
}

} // namespace

class capture_journey : public mode_journey {};

TEST_F(capture_journey, TwoChannelModelRefusesBeforeAnyExchange)
{
    run("HXM4100", [&] {
        connect_to_instrument();
        enter_mode("Capture", DOWNLOAD);
        const size_t shown = boxes().size();
        click("Download");
        ASSERT_TRUE(wait_for([&] { return boxes().size() > shown; })) << "no message";
        EXPECT_EQ(box_after(shown).text,
                  "The connected instrument is incompatable with the screen capture function");
        EXPECT_EQ(box_after(shown).caption, "Incompatable Instrument");
        screenshot("refused");
    });
    const std::vector<std::string> received = instrument_received();
    for (const char* line : {"SCREEN?", "SUSPEND,ON"})
        EXPECT_EQ(std::find(received.begin(), received.end(), line), received.end()) << line;
}

TEST_F(capture_journey, ScreenIsDownloadedShownAndSaved)
{
    const std::string saved = (dir() / "screen.bmp").string();
    run("HXM6300", [&] {
        connect_to_instrument();
        enter_mode("Capture", DOWNLOAD);
        const QImage before = view_picture(CAPTURE_WINDOW);
        const size_t shown = boxes().size();
        click("Download");
        ASSERT_TRUE(wait_for([&] { return view_picture(CAPTURE_WINDOW) != before; }))
            << "no capture is shown";
        EXPECT_EQ(boxes().size(), shown) << box_after(shown).text;
        screenshot("downloaded");
        test_ui().push_file(saved);
        click("Export to .bmp");
        EXPECT_EQ(test_ui().file_requests().back().caption, "Save Screen Capture");

        const QImage file(QString::fromStdString(saved));
        ASSERT_EQ(file.size(), QSize(320, 240)) << "the HXM6300's screen size";
        EXPECT_TRUE(has_dark_pixels(file)) << "the saved screen is blank";
        EXPECT_TRUE(shows(view_picture(CAPTURE_WINDOW), file))
            << "the window shows another picture";
    });
    const std::vector<std::string> received = instrument_received();
    EXPECT_NE(std::find(received.begin(), received.end(), "SCREEN?"), received.end());
}
