// Parameters by name as well as by number, and what each one takes.

#include "config/param_table.h"
#include "python/py_instrument.h"

#include <cctype>

namespace tarvelo_py {

namespace {

std::string folded(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

py::object bound(double b)
{
    return b == PARAM_NO_LIMIT ? py::object(py::none()) : py::object(py::float_(b));
}

} // namespace

int parameter_id(instrument& i, const py::handle& key)
{
    if (py::isinstance<py::int_>(key) && !py::isinstance<py::bool_>(key))
        return key.cast<int>();
    if (!py::isinstance<py::str>(key))
        throw py::type_error("a parameter is named by its id (int) or its name (str)");
    const std::string wanted = folded(to_ansi(py::reinterpret_borrow<py::str>(key)));
    for (const auto& [name, id] : parameter_names(i))
        if (folded(to_ansi(py::str(name))) == wanted)
            return id.cast<int>();
    throw py::key_error("no parameter named " + std::string(py::str(key)));
}

py::dict describe(instrument& i, int id)
{
    const s_config_param* rec = i.config().record(id);
    if (!rec || !param_has_record(*rec) || id > CONFIG_BANK_A_LAST)
        throw py::value_error("no parameter " + std::to_string(id));
    const char* name = config_param_name(i.link().caps.param_names, id);
    py::list choices;
    for (const std::string& c : rec->options)
        choices.append(from_ansi(c));
    const char* kind = rec->type == PARAM_TEXT ? "text" : rec->options.empty() ? "integer" : "list";
    return py::dict(py::arg("id") = id, py::arg("name") = from_ansi(name ? name : ""),
                    py::arg("kind") = kind,
                    py::arg("choices") = rec->options.empty() ? py::object(py::none()) : choices,
                    py::arg("min") = bound(rec->min), py::arg("max") = bound(rec->max),
                    py::arg("value") = i.get(id));
}

// A name two parameters share (the 6300's "Start") stands for the lower id.
py::dict parameter_names(instrument& i)
{
    py::dict out;
    const caps_param_names names = i.link().caps.param_names;
    for (int id = 1; id <= CONFIG_BANK_A_LAST; ++id) {
        const char* name = config_param_name(names, id);
        if (name && std::string(name) != PARAM_UNUSED && i.config().record(id) &&
            param_has_record(*i.config().record(id)) && !out.contains(from_ansi(name)))
            out[from_ansi(name)] = id;
    }
    return out;
}

} // namespace tarvelo_py
