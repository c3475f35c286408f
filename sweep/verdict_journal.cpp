#include "sweep/verdict_journal.h"

#include "base/text_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr const char* HEADING = "Part,Date,Limit Set,Verdict,Bin,Failed Checks";

std::string csv_field(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string date_of(std::time_t when)
{
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// The journal as it stands, or its heading when there is none yet.
bool journal_text(const std::filesystem::path& path, std::string& text, std::string& error)
{
    std::error_code exists_error;
    if (!std::filesystem::exists(path, exists_error)) {
        text = std::string(HEADING) + "\r\n";
        return true;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    if (!in || !(all << in.rdbuf())) {
        error = "Unable to read " + path.string();
        return false;
    }
    text = all.str();
    if (!text.empty() && text.back() != '\n')
        text += "\r\n";
    return true;
}

} // namespace

std::string verdict_journal_line(int part, std::time_t when, const s_test_verdict& verdict)
{
    std::string failed;
    for (const std::string& f : verdict.failed)
        failed += (failed.empty() ? "" : "; ") + f;
    const std::string bin =
        verdict.bin > 0 ? std::to_string(verdict.bin) + " " + verdict.bin_name : std::string();
    return std::to_string(part) + "," + date_of(when) + "," + csv_field(verdict.limits) + "," +
           verdict_word(verdict) + "," + csv_field(bin) + "," + csv_field(failed);
}

bool verdict_journal_add(const std::string& folder, int part, std::time_t when,
                         const s_test_verdict& verdict, std::string& error)
{
    const std::filesystem::path path = std::filesystem::path(folder) / VERDICT_JOURNAL_NAME;
    std::string text;
    if (!journal_text(path, text, error))
        return false;
    text += verdict_journal_line(part, when, verdict) + "\r\n";
    if (file_write_replacing(path.string(), [&text](const std::string& temporary) {
            return file_put_bytes(temporary, text);
        }))
        return true;
    error = "Unable to write " + path.string();
    return false;
}
