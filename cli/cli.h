#pragma once
// tarvelo2-cli: a thin command-line front over the core. Every command lives
// in its own file and registers itself with a static cli_registrar; the
// front parses "--name value" options and flags, then runs the command.

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

struct cli_args {
    std::string command;
    std::vector<std::string> positional;        // words after the command
    std::map<std::string, std::string> options; // "--lan" -> "127.0.0.1"
    std::map<std::string, bool> flags;          // "--yes" -> true

    bool has(const std::string& name) const { return options.count(name) != 0; }
    std::string get(const std::string& name, const std::string& fallback = {}) const;
    long get_long(const std::string& name, long fallback) const;
    bool flag(const std::string& name) const { return flags.count(name) != 0; }
};

struct cli_command {
    const char* name;
    const char* usage; // one line for --help
    int (*run)(const cli_args& args);
};

// Exit status for a usage error (bad option or missing argument).
constexpr int CLI_USAGE = 2;

// Every message goes to stderr as the program's message boxes do, as
// "[caption] text": from cli_start_messages() on, boxes are printed there
// and questions answered No until the command's --yes says otherwise.
void cli_start_messages();
// A message of the command line itself, captioned "Tarvelo2" (printf form,
// Windows-1252 text).
void cli_say(const char* format, ...) __attribute__((format(printf, 1, 2)));
// True while no message has been given.
bool cli_said_nothing();
// A database error was shown: a read or write the command needed failed.
bool cli_database_failed();

void cli_register(const cli_command& command);
// Every option is declared by the file that reads it: a flag takes no value
// (e.g. "--yes"), an option takes the next word (e.g. "--lan HOST"). Any
// other word that starts with "--" is a usage error.
void cli_register_flag(const char* name);
void cli_register_option(const char* name);

struct cli_registrar {
    explicit cli_registrar(const cli_command& command) { cli_register(command); }
};

struct cli_flag_registrar {
    explicit cli_flag_registrar(const char* name) { cli_register_flag(name); }
};

struct cli_option_registrar {
    explicit cli_option_registrar(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            cli_register_option(name);
    }
};

// Runs before every command; installed by the file that owns the process
// setup (the scripted user interface, the comms log, the link options).
using cli_setup_hook = int (*)(const cli_args& args);
void cli_add_setup(cli_setup_hook hook);

// Opens the test database named by --db; false (with a message) when it is
// missing or not a test database.
bool cli_open_database(const cli_args& args);

// A comma-separated list of test keys ("3,7,12"): each a positive whole
// number, at least one and at most `most` (more are refused with the
// selection's message).
bool cli_parse_test_keys(const std::string& text, size_t most, std::vector<int>& keys);

struct s_test;
// Reads a stored test of the open database; false after saying why when
// there is no such test or it cannot be read.
bool cli_read_test(int64_t key, s_test& test, bool with_points);
// Every test of keys exists and can be read whole (false after saying why).
bool cli_check_tests(const std::vector<int>& keys);

// The text edge: from here on stdout and stderr take Windows-1252 text and
// write it in the locale's encoding.
void cli_print_in_locale();
// Converts the values of the text options (session and test details) from
// the locale's encoding to Windows-1252; false after telling the user when
// one holds a character that has no Windows-1252 form.
bool cli_convert_texts(cli_args& args);
// One text from the locale's encoding to Windows-1252; false when a
// character has no Windows-1252 form.
bool cli_to_ansi(const std::string& text, std::string& ansi);
