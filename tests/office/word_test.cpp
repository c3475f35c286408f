#include "config/screen_capture.h"
#include "office/word_export.h"
#include "office_support.h"

#include <fstream>

namespace {

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

size_t count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace

TEST_F(office_fixture, CaptureDocumentHoldsTheBitmapAsOnePicture)
{
    auto capture = std::make_unique<s_screen_capture>();
    const std::string bmp = dir + "/screen.bmp";
    ASSERT_EQ(screen_export_file(*capture, bmp, true), 0);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(std::filesystem::path(opened[0]).extension(), ".docx");
    EXPECT_EQ(zip_entry(opened[0], "word/media/image1.bmp"), slurp(bmp));
    EXPECT_EQ(slurp(bmp).size(), 230454u);
    const std::string document = zip_entry(opened[0], "word/document.xml");
    EXPECT_EQ(count(document, "<pic:pic>"), 1u);
    EXPECT_EQ(count(document, "cx=\"3048000\" cy=\"2286000\""), 2u); // 320 x 240 px at 96 dpi
    EXPECT_FALSE(zip_entry(opened[0], "[Content_Types].xml").empty());
}

TEST_F(office_fixture, WordFailuresAreNamedAndStartNothing)
{
    auto capture = std::make_unique<s_screen_capture>();
    EXPECT_EQ(screen_export_file(*capture, dir + "/missing/screen.bmp", true), -1);
    ole_unregister_server("Word.Application");
    EXPECT_EQ(word_export_picture(dir + "/x.bmp"), -1);
    ole_register_server("Word.Application", [] { return static_cast<ole_object*>(nullptr); });
    EXPECT_EQ(word_export_picture(dir + "/x.bmp"), -1);
    ole_register_server("Word.Application", word_server_create);
    EXPECT_TRUE(opened.empty());
    const auto boxes = ui.shown();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "Unable to write the bitmap file " + dir + "/missing/screen.bmp");
    EXPECT_EQ(boxes[1].text, "Word server not found on this PC");
    EXPECT_EQ(boxes[1].caption, "Word Export Error");
    EXPECT_EQ(boxes[2].text, "Word is not registered properly on this PC");
}
