#include "config/config_text_block.h"
#include "config/hxm_cfg_4100.h"
#include "config/hxm_cfg_6300.h"
#include "link/link.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace {

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string printed(const instrument_config& cfg)
{
    std::ostringstream out;
    cfg.print_config(out);
    return out.str();
}

// The lines from the one starting with `first` up to the end of the block.
std::vector<std::string> from(const std::vector<std::string>& lines, const std::string& first)
{
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == first)
            return {lines.begin() + static_cast<long>(i), lines.end()};
    return {};
}

size_t count(const std::vector<std::string>& lines, const std::string& line)
{
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}

} // namespace

TEST(ConfigTextBlock, TwoChannelModelInFraModeWithIdentification)
{
    hxm_cfg_4100 cfg;
    cfg.set_int(1, 1);
    s_link link;
    link.identity = "QUELLMARSH,HXM4100,SN1234,2.10,build 7";
    const std::vector<std::string> lines = lines_of(config_block_text(cfg, link, "2026-01-05"));
    ASSERT_GE(lines.size(), 9u);
    const std::vector<std::string> head(lines.begin(), lines.begin() + 9);
    EXPECT_EQ(head, (std::vector<std::string>{
                        "Instrument Configuration", "------------------------",
                        "File Format,QmrkV1", "Instrument,type,HXM4100", ",serial number,SN1234",
                        ",firmware version,2.10,build 7", ",calibration,2026-01-05",
                        "Acquisition,mode,normal", ",speed,very slow"}));
    EXPECT_EQ(from(lines, "Measurement settings,operation mode,frequency response analyser"),
              (std::vector<std::string>{
                  "Measurement settings,operation mode,frequency response analyser",
                  ",ratio,ch2/ch1", ",offset,", ",gain/phase margins,disabled", ",graph,phase"}));
    EXPECT_EQ(count(lines, ",lcr head shunt,normal"), 2u);
    EXPECT_EQ(count(lines, "Sweep,start,"), 1u);
    EXPECT_EQ(count(lines, ",steps,0"), 1u);
    EXPECT_EQ(count(lines, "System,phase convention,-180\xB0 to 180\xB0"), 1u);
    // 1 header block + 4 identification + 70 common entries less 8 titles + 5 mode lines
    EXPECT_EQ(lines.size(), 3u + 4u + 62u + 5u);
}

TEST(ConfigTextBlock, ThreeChannelOscilloscopeRowAndSinglePercentSigns)
{
    hxm_cfg_6300 cfg;
    cfg.set_int(1, 6);
    cfg.set_int(210, 1);
    cfg.set_int(18, 401);
    const std::vector<std::string> lines = lines_of(printed(cfg));
    EXPECT_EQ(lines.front(), "Acquisition,input,2 channels");
    EXPECT_EQ(from(lines, "Measurement settings,operation mode,oscilloscope"),
              (std::vector<std::string>{"Measurement settings,operation mode,oscilloscope",
                                        ",timebase,", ",trigger level,", ",trigger mode,auto",
                                        ",trigger polarity,rising edge", ",trigger hf reject,off",
                                        ",pretrigger,25%", ",cursors,off"}));
    EXPECT_EQ(count(lines, ",step scale,log"), 2u);
    EXPECT_EQ(count(lines, "Sweep,start,"), 1u);
    EXPECT_EQ(count(lines, ",steps,401"), 1u);
    EXPECT_NE(std::find(lines.begin(), lines.end(), ",frequency,1.0000e3"), lines.end());
}

TEST(ConfigTextBlock, LonePercentSignsAndUnknownModesStayHarmless)
{
    hxm_cfg_4100 cfg;
    cfg.set_int(1, 5);
    const std::vector<std::string> harmonic = lines_of(printed(cfg));
    EXPECT_EQ(count(harmonic, ",parameter,%"), 1u);
    for (int mode : {7, -3, 1000}) {
        cfg.set_int(1, mode);
        const std::vector<std::string> lines = lines_of(printed(cfg));
        EXPECT_EQ(lines.back(), "Measurement settings,operation mode,") << mode;
    }
}

TEST(ConfigTextBlock, FilesGetCrLfAndUnidentifiedFieldsStayEmpty)
{
    hxm_cfg_4100 cfg;
    s_link link;
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    config_write_block(f, cfg, link, "");
    std::rewind(f);
    std::string bytes;
    for (int c; (c = std::fgetc(f)) != EOF;)
        bytes += static_cast<char>(c);
    std::fclose(f);
    EXPECT_EQ(bytes.rfind("Instrument Configuration\r\n------------------------\r\n"
                          "File Format,QmrkV1\r\nInstrument,type,\r\n,serial number,\r\n"
                          ",firmware version,\r\n,calibration,\r\nAcquisition,mode,normal\r\n",
                          0),
              0u);
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos);
    EXPECT_EQ(bytes.find("\r\r"), std::string::npos);

    std::FILE* g = std::tmpfile();
    cfg.print_config_file(g);
    EXPECT_EQ(std::ftell(g),
              static_cast<long>(printed(cfg).size() + lines_of(printed(cfg)).size()));
    std::fclose(g);
}

TEST(ConfigTextBlock, FieldsAreReadBackFromAnExportsHeadUpToItsData)
{
    hxm_cfg_4100 cfg;
    s_link link;
    const std::string block = config_block_text(cfg, link, "cal 7");
    std::string crlf;
    for (char c : block + "data start sweep 1\nSteps,Frequency (Hz)\n1,10\n")
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const size_t lines = lines_of(block).size() - 3; // less the three header lines
    const struct {
        std::string text;
        size_t fields;
    } cases[] = {{crlf, lines}, {block, lines}, {"Steps,Frequency\n1,2,3\n", 0}, {"", 0}};
    for (const auto& c : cases) {
        const auto fields = config_block_fields(c.text);
        ASSERT_EQ(fields.size(), c.fields) << c.text;
        if (c.fields == 0)
            continue;
        EXPECT_EQ(fields[0], std::make_pair(std::string("Instrument: type"), std::string()));
        EXPECT_EQ(fields[3],
                  std::make_pair(std::string("Instrument: calibration"), std::string("cal 7")));
        EXPECT_EQ(fields[5].first, "Acquisition: speed") << "a section names its later lines";
    }
}
