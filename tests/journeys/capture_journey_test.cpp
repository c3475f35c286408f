// The instrument's screen: downloaded from the HXM6300, shown and saved as
// a bitmap of the screen's size that holds what the window shows; the
// HXM4100 has no screen to fetch and says so before asking anything.

#include "base/ui/exchange_dialog.h"
#include "tests/journeys/mode_journey.h"

#include <QClipboard>

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

class capture_journey : public mode_journey {
protected:
    // Whether the instrument's busy window (with its Cancel) is on screen.
    bool busy_window_shown()
    {
        bool shown = false;
        look([&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                shown = shown || (w->isVisible() && w->windowTitle() == EXCHANGE_DIALOG_TITLE);
        });
        return shown;
    }
};

TEST_F(capture_journey, TwoChannelModelRefusesBeforeAnyExchange)
{
    run("HXM4100", [&] {
        connect_to_instrument();
        enter_mode("Capture", DOWNLOAD);
        show_boxes_live();
        const size_t shown = boxes().size();
        click("Download");
        await_dialog("Incompatable Instrument");
        EXPECT_EQ(box_after(shown).text,
                  "The connected instrument is incompatable with the screen capture function");
        EXPECT_FALSE(busy_window_shown()) << "the answer opened over the busy window";
        screenshot("refused");
        click("OK");
        await_dialog("");
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
        // Nothing captured yet: Display has no picture to take.
        const size_t refused = boxes().size();
        for (const char* take : {"Save to Bitmap", "Copy to Clipboard"}) {
            menu({"Display", take});
            EXPECT_EQ(box_after(boxes().size() - 1).text,
                      "The Capture mode has no graph to picture yet.")
                << take;
        }
        EXPECT_EQ(boxes().size(), refused + 2);
        EXPECT_TRUE(test_ui().file_requests().empty());
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

        // Display > Save to Bitmap and Copy to Clipboard take the same screen.
        const std::string pictured = (dir() / "display.bmp").string();
        test_ui().push_file(pictured);
        menu({"Display", "Save to Bitmap"});
        EXPECT_EQ(QImage(QString::fromStdString(pictured)).convertToFormat(QImage::Format_RGB32),
                  file.convertToFormat(QImage::Format_RGB32));
        menu({"Display", "Copy to Clipboard"});
        QImage copied;
        look([&] { copied = QApplication::clipboard()->image(); });
        EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
                  file.convertToFormat(QImage::Format_RGB32));
    });
    const std::vector<std::string> received = instrument_received();
    EXPECT_NE(std::find(received.begin(), received.end(), "SCREEN?"), received.end());
}
