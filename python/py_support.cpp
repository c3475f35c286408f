#include "python/py_support.h"

#include "base/command_seam.h"
#include "base/ui_seam.h"

#include <algorithm>

namespace tarvelo_py {

namespace {

thread_local message_capture* t_capture = nullptr;

// Boxes go to the capture of the thread that shows them; questions are
// answered Yes, and nothing is ever chosen from a file chooser.
class capture_ui : public ui_backend {
public:
    int message_box(ui_owner, const std::string& text, const std::string&, unsigned style) override
    {
        const unsigned buttons = style & MB_BUTTON_MASK;
        const bool question = buttons == MB_YESNO || buttons == MB_YESNOCANCEL;
        if (!question && t_capture)
            t_capture->add(text);
        return question ? IDYES : IDOK;
    }
    void set_wait_cursor(bool) override {}
    bool choose_file(ui_owner, const ui_file_request&, ui_file_choice&) override { return false; }
};

// Delivers every command at once on the thread that posts it: the module's
// receivers only take note, and they live on that thread.
class immediate_dispatcher : public command_dispatcher {
public:
    void post(command_message msg) override
    {
        if (msg.target)
            command_deliver(msg);
    }
    void send(command_message msg) override { post(std::move(msg)); }
};

capture_ui g_ui;
immediate_dispatcher g_dispatcher;
py::object g_error, g_link_error, g_instrument_error, g_database_error;

} // namespace

message_capture::message_capture() : outer_(t_capture)
{
    t_capture = this;
}

message_capture::~message_capture()
{
    t_capture = outer_;
}

std::string message_capture::text() const
{
    std::string out;
    for (const std::string& t : texts_)
        out += (out.empty() ? "" : "\n") + t;
    return out;
}

void init_support(py::module_& m)
{
    ui_set_backend(&g_ui);
    set_command_dispatcher(&g_dispatcher);
    g_error = py::exception<std::runtime_error>(m, "Error");
    g_error.attr("__doc__") = "Base of the module's errors; the message is the program's own.";
    const auto sub = [&](const char* name, const char* doc) {
        py::object kind = py::reinterpret_steal<py::object>(
            PyErr_NewException((std::string("tarvelo2.") + name).c_str(), g_error.ptr(), nullptr));
        kind.attr("__doc__") = doc;
        m.attr(name) = kind;
        return kind;
    };
    g_link_error = sub("LinkError", "The instrument could not be reached, or stopped answering.");
    g_instrument_error =
        sub("InstrumentError", "The instrument answered but refused or could not do the task.");
    g_database_error = sub("DatabaseError", "The test database could not be used.");
}

py::object link_error()
{
    return g_link_error;
}

py::object instrument_error()
{
    return g_instrument_error;
}

py::object database_error()
{
    return g_database_error;
}

namespace {

// What a window says beside the failure (the results on screen stay) means
// nothing to a script; a text said twice is said once.
std::string script_text(const std::string& text)
{
    static const std::string window_only = "The previous results are kept.";
    std::vector<std::string> lines;
    std::string out;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line == window_only || std::find(lines.begin(), lines.end(), line) != lines.end())
            continue;
        lines.push_back(line);
        out += (out.empty() ? "" : "\n") + line;
    }
    return out;
}

} // namespace

void raise(const py::object& kind, const std::string& text, const char* fallback)
{
    const std::string said = script_text(text);
    PyErr_SetObject(kind.ptr(), from_ansi(said.empty() ? script_text(fallback) : said).ptr());
    throw py::error_already_set();
}

py::str from_ansi(const std::string& text)
{
    PyObject* s =
        PyUnicode_Decode(text.data(), static_cast<Py_ssize_t>(text.size()), "cp1252", "replace");
    if (!s)
        throw py::error_already_set();
    return py::reinterpret_steal<py::str>(s);
}

std::string to_ansi(const py::str& text)
{
    PyObject* bytes = PyUnicode_AsEncodedString(text.ptr(), "cp1252", "strict");
    if (!bytes) {
        PyErr_Clear();
        throw py::value_error("the text holds a character that Windows-1252 has no form for");
    }
    const py::bytes b = py::reinterpret_steal<py::bytes>(bytes);
    return b;
}

} // namespace tarvelo_py
