#include "db/sweep_lines.h"

#include <cstdio>
#include <memory>

namespace {

constexpr size_t FILE_LIMIT = 64u << 20;
constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

struct file_closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

sweep_line_reader::sweep_line_reader(std::string_view text) : rest_(text)
{
    if (rest_.substr(0, BYTE_ORDER_MARK.size()) == BYTE_ORDER_MARK)
        rest_.remove_prefix(BYTE_ORDER_MARK.size());
}

bool sweep_line_reader::next(std::string_view& line)
{
    if (rest_.empty())
        return false;
    const size_t end = rest_.find('\n');
    line = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return true;
}

std::vector<std::string_view> sweep_split(std::string_view line, char separator)
{
    std::vector<std::string_view> fields;
    while (true) {
        const size_t at = line.find(separator);
        fields.push_back(line.substr(0, at));
        if (at == std::string_view::npos)
            return fields;
        line.remove_prefix(at + 1);
    }
}

bool sweep_read_whole_file(const std::string& path, std::string& text)
{
    std::unique_ptr<std::FILE, file_closer> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;
    text.clear();
    char block[65536];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file.get())) > 0) {
        if (text.size() + got > FILE_LIMIT)
            return false;
        text.append(block, got);
    }
    return !std::ferror(file.get());
}
