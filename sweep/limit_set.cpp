#include "sweep/limit_set.h"

#include "base/ansi_text.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <nlohmann/json.hpp>

using json = nlohmann::json;

namespace {

// Far more than any set of checks needs; a larger file is not a limit set.
constexpr size_t MAX_FILE_BYTES = size_t{1} << 20;

// A rule broken at a place in the file, thrown to the parse's one catch.
struct limit_error {
    std::string text;
};

[[noreturn]] void refuse(const std::string& where, const std::string& what)
{
    throw limit_error{where + ": " + what};
}

std::string quoted(const char* key)
{
    return std::string("\"") + key + "\"";
}

std::string number_text(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// Refuses every key of the object that is not one of the allowed ones, so
// that a misspelt key is never silently ignored.
void only_keys(const json& object, const std::string& where,
               std::initializer_list<const char*> keys)
{
    for (const auto& item : object.items()) {
        bool known = false;
        for (const char* key : keys)
            known = known || item.key() == key;
        if (!known)
            refuse(where, "unknown key \"" + utf8_to_ansi(item.key()) + "\"");
    }
}

const json& member(const json& object, const std::string& where, const char* key)
{
    const auto it = object.find(key);
    if (it == object.end())
        refuse(where, quoted(key) + " is missing");
    return *it;
}

double number(const json& object, const std::string& where, const char* key)
{
    const json& value = member(object, where, key);
    if (!value.is_number() || !std::isfinite(value.get<double>()))
        refuse(where, quoted(key) + " must be a number");
    return value.get<double>();
}

double positive(const json& object, const std::string& where, const char* key)
{
    const double value = number(object, where, key);
    if (value <= 0)
        refuse(where, quoted(key) + " must be above 0");
    return value;
}

std::string text(const json& object, const std::string& where, const char* key)
{
    const json& value = member(object, where, key);
    if (!value.is_string() || value.get_ref<const std::string&>().empty())
        refuse(where, quoted(key) + " must be a text that is not empty");
    std::string ansi;
    if (!utf8_to_ansi(value.get_ref<const std::string&>(), ansi))
        refuse(where, quoted(key) + " holds a character that Windows-1252 has no form for");
    return ansi;
}

std::string one_of(const json& object, const std::string& where, const char* key,
                   std::initializer_list<const char*> allowed)
{
    const std::string value = text(object, where, key);
    std::string list;
    for (const char* name : allowed) {
        if (value == name)
            return value;
        list += (list.empty() ? "\"" : ", \"") + std::string(name) + "\"";
    }
    refuse(where, quoted(key) + " must be one of " + list);
}

void ordered(double low, double high, const std::string& where, const char* low_key,
             const char* high_key)
{
    if (low > high)
        refuse(where, quoted(low_key) + " is above " + quoted(high_key));
}

// A mask line: [[f, v], ...], at least two corners, frequencies above 0 and
// rising.
std::vector<std::pair<double, double>> mask_line(const json& check, const std::string& where,
                                                 const char* key)
{
    std::vector<std::pair<double, double>> line;
    const auto it = check.find(key);
    if (it == check.end())
        return line;
    const std::string at = where + "." + key;
    if (!it->is_array() || it->size() < 2)
        refuse(at, "must be a list of at least two [frequency, value] pairs");
    for (size_t i = 0; i < it->size(); ++i) {
        const json& corner = (*it)[i];
        const std::string here = at + "[" + std::to_string(i) + "]";
        if (!corner.is_array() || corner.size() != 2 || !corner[0].is_number() ||
            !corner[1].is_number())
            refuse(here, "must be a [frequency, value] pair of numbers");
        const double hz = corner[0].get<double>(), value = corner[1].get<double>();
        if (!std::isfinite(hz) || !std::isfinite(value) || hz <= 0)
            refuse(here, "needs a frequency above 0 and a finite value");
        if (!line.empty() && hz <= line.back().first)
            refuse(here, "frequencies must rise from one pair to the next");
        line.emplace_back(hz, value);
    }
    return line;
}

void read_quantity(const json& c, const std::string& where, limit_check& check)
{
    only_keys(c, where, {"quantity", "at_hz", "low", "high"});
    check.kind = limit_kind::quantity;
    check.name = text(c, where, "quantity");
    check.at_hz = positive(c, where, "at_hz");
    check.low = number(c, where, "low");
    check.high = number(c, where, "high");
    ordered(check.low, check.high, where, "low", "high");
}

void read_fitted(const json& c, const std::string& where, limit_check& check)
{
    only_keys(c, where, {"fitted", "nominal", "tolerance_pct", "model"});
    check.kind = limit_kind::fitted;
    check.name = one_of(c, where, "fitted", {"R", "L", "C", "Cp"});
    check.nominal = positive(c, where, "nominal");
    check.tolerance_pct = number(c, where, "tolerance_pct");
    if (check.tolerance_pct < 0)
        refuse(where, "\"tolerance_pct\" must not be below 0");
    if (c.contains("model"))
        check.model = text(c, where, "model");
}

void read_resonance(const json& c, const std::string& where, limit_check& check)
{
    only_keys(c, where, {"resonance", "low_hz", "high_hz"});
    check.kind = limit_kind::resonance;
    check.name = one_of(c, where, "resonance", {"fr", "fa"});
    check.low = positive(c, where, "low_hz");
    check.high = positive(c, where, "high_hz");
    ordered(check.low, check.high, where, "low_hz", "high_hz");
}

void read_margin(const json& c, const std::string& where, limit_check& check)
{
    only_keys(c, where, {"margin", "at_least"});
    check.kind = limit_kind::margin;
    check.name = one_of(c, where, "margin", {"gain", "phase"});
    check.at_least = number(c, where, "at_least");
}

void read_mask(const json& c, const std::string& where, limit_check& check)
{
    only_keys(c, where, {"mask", "upper", "lower"});
    check.kind = limit_kind::mask;
    check.name = one_of(c, where, "mask", {"gain", "phase"});
    check.upper = mask_line(c, where, "upper");
    check.lower = mask_line(c, where, "lower");
    if (check.upper.empty() && check.lower.empty())
        refuse(where, "a mask needs \"upper\", \"lower\" or both");
}

limit_check read_check(const json& c, const std::string& where)
{
    using reader = void (*)(const json&, const std::string&, limit_check&);
    static const std::pair<const char*, reader> kinds[] = {{"quantity", read_quantity},
                                                           {"fitted", read_fitted},
                                                           {"resonance", read_resonance},
                                                           {"margin", read_margin},
                                                           {"mask", read_mask}};
    if (!c.is_object())
        refuse(where, "a check must be an object");
    int found = 0;
    for (const auto& kind : kinds)
        found += c.contains(kind.first) ? 1 : 0;
    if (found != 1)
        refuse(where, "a check names exactly one of \"quantity\", \"fitted\", \"resonance\", "
                      "\"margin\" or \"mask\"");
    limit_check check;
    for (const auto& [key, read] : kinds)
        if (c.contains(key))
            read(c, where, check);
    return check;
}

std::vector<limit_check> read_checks(const json& object, const std::string& where)
{
    std::vector<limit_check> checks;
    const auto it = object.find("checks");
    if (it == object.end())
        return checks;
    if (!it->is_array())
        refuse(where + "checks", "must be a list of checks");
    for (size_t i = 0; i < it->size(); ++i)
        checks.push_back(read_check((*it)[i], where + "checks[" + std::to_string(i) + "]"));
    return checks;
}

std::vector<limit_bin> read_bins(const json& root)
{
    std::vector<limit_bin> bins;
    const auto it = root.find("bins");
    if (it == root.end())
        return bins;
    if (!it->is_array())
        refuse("bins", "must be a list of bins");
    for (size_t i = 0; i < it->size(); ++i) {
        const json& b = (*it)[i];
        const std::string where = "bins[" + std::to_string(i) + "]";
        if (!b.is_object())
            refuse(where, "a bin must be an object");
        only_keys(b, where, {"name", "checks"});
        bins.push_back({text(b, where, "name"), read_checks(b, where + ".")});
    }
    return bins;
}

// The message of the library's parse error without its own code prefix.
std::string syntax_text(const json::exception& e)
{
    const std::string what = e.what();
    const size_t end = what.find("] ");
    return utf8_to_ansi(end == std::string::npos ? what : what.substr(end + 2));
}

std::string file_name(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

bool limit_set_parse(std::string_view text, limit_set& set, std::string& error)
{
    try {
        const json root = json::parse(text.begin(), text.end());
        if (!root.is_object())
            refuse("the file", "a limit set is an object with \"checks\" and \"bins\"");
        only_keys(root, "the file", {"checks", "bins"});
        limit_set out;
        out.checks = read_checks(root, "");
        out.bins = read_bins(root);
        if (out.checks.empty() && out.bins.empty())
            refuse("the file", "the limit set holds no check and no bin");
        out.name = set.name;
        set = std::move(out);
        return true;
    } catch (const limit_error& e) {
        error = e.text;
    } catch (const json::exception& e) {
        error = syntax_text(e);
    }
    return false;
}

bool limit_set_read(const std::string& path, limit_set& set, std::string& error)
{
    const std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    std::string bytes;
    if (file) {
        char block[8192];
        size_t got = 0;
        while (bytes.size() <= MAX_FILE_BYTES &&
               (got = std::fread(block, 1, sizeof block, file.get())) > 0)
            bytes.append(block, got);
    }
    if (!file || std::ferror(file.get())) {
        error = "Unable to read the limit set " + path;
        return false;
    }
    if (bytes.size() > MAX_FILE_BYTES) {
        error = "The limit set " + path + " is too large to be a limit set";
        return false;
    }
    set.name = file_name(path);
    if (limit_set_parse(bytes, set, error))
        return true;
    error = "The limit set " + path + " cannot be used, " + error;
    return false;
}

std::string limit_check_caption(const limit_check& check)
{
    switch (check.kind) {
    case limit_kind::quantity: return check.name + " at " + number_text(check.at_hz) + " Hz";
    case limit_kind::fitted:
        return "fitted " + check.name + (check.model.empty() ? "" : " (" + check.model + ")");
    case limit_kind::resonance: return check.name;
    case limit_kind::margin: return check.name + " margin";
    case limit_kind::mask: return check.name + " mask";
    }
    return {};
}
