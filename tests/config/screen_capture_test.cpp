// The screen capture against the bundled simulator, with its screen faults.

#include "base/ui_seam.h"
#include "config/screen_capture.h"
#include "link/identify.h"
#include "sim/screen.h"
#include "tests/config/sim_peer.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class ScreenCapture : public ::testing::Test {
protected:
    void SetUp() override { ui_set_backend(&ui); }
    void TearDown() override
    {
        ui_set_backend(nullptr);
        link_set_timeout(link, LINK_DEFAULT_TIMEOUT_MS);
    }
    void start(sim::sim_model model, const std::string& identity = {}, sim::fault_set faults = {},
               const std::string& transcript = {})
    {
        sim::sim_options options = sim_options_for(model);
        options.instrument.identity = identity;
        options.faults = std::move(faults);
        options.log_path = transcript;
        peer = std::make_unique<sim_peer>(std::move(options));
        link = peer->lan_link();
        link.identity = peer->server->instrument().identity();
        link_set_type(link, identify_type_code(link.identity));
        link.identified = true;
        link_set_timeout(link, 300);
    }
    bool black(int x, int y) const
    {
        const auto& c = *capture;
        return !((c.bits[y * (c.width / 8) + x / 8] >> (7 - x % 8)) & 1);
    }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> out;
        for (const auto& box : ui.shown())
            out.push_back(box.text);
        return out;
    }

    scripted_ui ui;
    std::unique_ptr<sim_peer> peer;
    s_link link;
    std::unique_ptr<s_screen_capture> capture = std::make_unique<s_screen_capture>();
    comms_capture log;
};

} // namespace

TEST(ScreenRows, HexRowsAreReversedAndInvertedAndBadRowsRefused)
{
    std::string row = "00" + std::string(80, '0');
    uint8_t out[40] = {};
    EXPECT_TRUE(screen_parse_row("0001" + std::string(78, '0'), 320, out));
    EXPECT_EQ(out[0], 0x7F); // leftmost pixel drawn, the rest background
    EXPECT_EQ(out[1], 0xFF);
    EXPECT_TRUE(screen_parse_row("00aF" + std::string(78, '0'), 320, out));
    EXPECT_EQ(out[0], static_cast<uint8_t>(~0xF5));
    for (const std::string& bad :
         {row.substr(1), row + "00", "00G1" + row.substr(4), "00 1" + row.substr(4)})
        EXPECT_FALSE(screen_parse_row(bad, 320, out)) << bad;
    int32_t w = 0, h = 0;
    screen_size(instrument_caps_of(6), true, w, h);
    EXPECT_EQ(w * 1000 + h, 480272);
    screen_size(instrument_caps_of(9), false, w, h);
    EXPECT_EQ(w * 1000 + h, 0);
}

TEST_F(ScreenCapture, BothScreenSizesDownloadWithTheirPixels)
{
    const struct {
        const char* identity;
        int width, height;
        size_t bmp_bytes;
    } cases[] = {{"", 320, 240, 230454}, {"WattRelay,WRX2100,SN77,1.00", 480, 272, 391734}};
    for (const auto& c : cases) {
        start(sim::sim_model::hxm6300, c.identity);
        ASSERT_EQ(screen_download(link, *capture), 0) << c.identity;
        EXPECT_TRUE(capture->valid);
        EXPECT_EQ(capture->width, c.width);
        EXPECT_EQ(capture->height, c.height);
        EXPECT_TRUE(black(0, 0));
        EXPECT_FALSE(black(2, 30));
        // The capture runs between SUSPEND,ON and SUSPEND,OFF, so the
        // instrument shows REMOTE: every pixel that word adds is drawn.
        const sim::screen_size size{c.width, c.height};
        const sim::mono_screen local = sim::render_screen({}, size);
        const sim::mono_screen remote = sim::render_screen({"", "", {}, true}, size);
        int remote_pixels = 0, shown = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                if (remote.pixel(x, y) && !local.pixel(x, y)) {
                    ++remote_pixels;
                    shown += black(x, y);
                }
        EXPECT_GT(remote_pixels, 20);
        EXPECT_EQ(shown, remote_pixels) << c.identity;
        const auto bmp = bmp_encode(screen_picture(*capture));
        EXPECT_EQ(bmp.size(), c.bmp_bytes);
        // Rows are stored bottom-up: the top-left pixel is in the last row.
        const size_t last_row = 54 + static_cast<size_t>(c.height - 1) * c.width * 3;
        EXPECT_EQ(bmp[last_row], 0);
    }
    const auto sent = log.sent();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "SUSPEND,OFF"), 2);
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(ScreenCapture, FaultsSilenceAndRefusalsLeaveAWhiteImage)
{
    const std::string faults[] = {"screen-short-row=5", "screen-bad-row=1", "screen-drop-after=3",
                                  "silent"};
    for (const auto& fault : faults) {
        sim::fault_set set;
        std::string error;
        ASSERT_TRUE(sim::add_fault(set, fault, error)) << error;
        start(sim::sim_model::hxm6300, {}, set);
        capture->valid = true;
        EXPECT_EQ(screen_download(link, *capture), -1) << fault;
        EXPECT_FALSE(capture->valid);
        EXPECT_EQ(screen_picture(*capture).rgb, std::vector<uint8_t>(320 * 240 * 3, 0xFF));
        EXPECT_EQ(log.sent().back(), "SUSPEND,OFF") << fault;
    }
    EXPECT_EQ(texts(), std::vector<std::string>(4, "Failed to fetch screen capture data"));
    ui.clear();
    const size_t before = log.sent().size();
    const std::string transcript =
        (std::filesystem::temp_directory_path() / ("screen-sim-" + std::to_string(::getpid())))
            .string();
    start(sim::sim_model::hxm4100, {}, {}, transcript);
    EXPECT_EQ(screen_download(link, *capture), -1);
    link_set_type(link, 9);
    link.identified = false;
    EXPECT_EQ(screen_download(link, *capture), -1);
    EXPECT_EQ(log.sent().size(), before); // no traffic for either
    const auto heard = [&] {
        std::ifstream in(transcript);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(heard(), "");        // the instrument heard nothing
    ASSERT_EQ(link_open(link), 0); // while its transcript does record traffic
    link_send(link, "*IDN?\n");
    char reply[256];
    link_read_line(link, reply, sizeof reply);
    link_close(link);
    EXPECT_NE(heard().find("*IDN?"), std::string::npos);
    std::filesystem::remove(transcript);
    EXPECT_EQ(texts(),
              (std::vector<std::string>{
                  "The connected instrument is incompatable with the screen capture function",
                  "ERROR: Cannot connect to instrument"}));
}
