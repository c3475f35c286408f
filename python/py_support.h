#pragma once
// What every part of the module shares: the exceptions, the text edge
// (the core's Windows-1252 bytes against Python's str), and the seams the
// core speaks through, set up for a process with no windows.
//
// The core tells its user through message boxes. Here every box of an
// operation is caught on the thread that runs it and becomes the text of
// the exception the operation raises; questions are answered Yes (a script
// that asks for a sweep or a file means it). Commands the engines post are
// delivered at once on the posting thread.

#include <pybind11/pybind11.h>
#include <string>
#include <vector>

namespace py = pybind11;

namespace tarvelo_py {

// Registers the exception classes and installs the seams; once, at import.
void init_support(py::module_& m);

// The PDF reports (tarvelo2.report).
void init_report(py::module_& m);

// The exception classes: Error and its subclasses.
py::object link_error();
py::object instrument_error();
py::object database_error();

// Raises the exception class with text (Windows-1252), or with fallback
// when text is empty.
[[noreturn]] void raise(const py::object& kind, const std::string& text,
                        const char* fallback = "the operation failed");

// Windows-1252 bytes as str, and back (ValueError for a character the code
// page lacks).
py::str from_ansi(const std::string& text);
std::string to_ansi(const py::str& text);

// The boxes shown on this thread while it lives, their texts joined by
// line ends.
class message_capture {
public:
    message_capture();
    ~message_capture();
    message_capture(const message_capture&) = delete;
    message_capture& operator=(const message_capture&) = delete;

    std::string text() const;
    bool empty() const { return texts_.empty(); }
    void add(const std::string& text) { texts_.push_back(text); }

private:
    std::vector<std::string> texts_;
    message_capture* outer_;
};

} // namespace tarvelo_py
