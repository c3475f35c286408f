// A small INI reader and writer that keeps the file's text as it was.

#include "base/profile_file.h"

#include "base/text_file.h"
#include "base/ui_seam.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <set>
#include <vector>

namespace {

std::vector<std::string> read_lines(const std::string& file)
{
    std::vector<std::string> lines;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string trim(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

bool same_name(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The section name of a "[Name]" line, or false.
bool section_of(const std::string& line, std::string& name)
{
    const std::string t = trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']')
        return false;
    name = trim(t.substr(1, t.size() - 2));
    return true;
}

bool key_of(const std::string& line, std::string& key, std::string& value)
{
    const auto eq = line.find('=');
    if (eq == std::string::npos)
        return false;
    key = trim(line.substr(0, eq));
    value = trim(line.substr(eq + 1));
    return true;
}

// A value written in quotes reads without them.
std::string unquote(const std::string& v)
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

struct s_found {
    int section_line = -1; // the header line of the section
    int section_end = -1;  // one past its last non-blank line
    int key_line = -1;
};

s_found find_key(const std::vector<std::string>& lines, const std::string& section,
                 const std::string& key)
{
    s_found f;
    bool inside = false;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        std::string name, k, v;
        if (section_of(lines[i], name)) {
            inside = same_name(name, section) && f.section_line < 0;
            if (inside) {
                f.section_line = i;
                f.section_end = i + 1;
            }
            continue;
        }
        if (!inside)
            continue;
        if (!trim(lines[i]).empty())
            f.section_end = i + 1;
        if (f.key_line < 0 && key_of(lines[i], k, v) && same_name(k, key))
            f.key_line = i;
    }
    return f;
}

// Every setting written after the first failure would fail the same way:
// the user hears of a file once.
void say_not_written(const std::string& file)
{
    static std::mutex mutex;
    static std::set<std::string> said;
    {
        const std::lock_guard lock(mutex);
        if (!said.insert(file).second)
            return;
    }
    ui_message_box(nullptr,
                   "The settings file " + file +
                       " could not be written; the settings changed now are not kept.",
                   "Tarvelo2", MB_OK | MB_ICONWARNING);
}

} // namespace

std::string profile_read(const std::string& file, const std::string& section,
                         const std::string& key, const std::string& fallback)
{
    const auto lines = read_lines(file);
    const s_found f = find_key(lines, section, key);
    if (f.key_line < 0)
        return fallback;
    std::string k, v;
    key_of(lines[f.key_line], k, v);
    return unquote(v);
}

int profile_read_int(const std::string& file, const std::string& section, const std::string& key,
                     int fallback)
{
    const std::string v = profile_read(file, section, key, "\x01");
    if (v == "\x01")
        return fallback;
    return static_cast<int>(std::strtol(v.c_str(), nullptr, 10));
}

bool profile_write(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value)
{
    auto lines = read_lines(file);
    const s_found f = find_key(lines, section, key);
    const std::string entry = key + "=" + value;
    if (f.key_line >= 0) {
        lines[f.key_line] = entry;
    } else if (f.section_line >= 0) {
        lines.insert(lines.begin() + f.section_end, entry);
    } else {
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
    }
    const bool written = file_write_replacing(file, [&lines](const std::string& temporary) {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        for (const std::string& line : lines)
            out << line << "\r\n";
        out.close();
        return !out.fail();
    });
    if (!written)
        say_not_written(file);
    return written;
}
