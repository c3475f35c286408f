// The command line's text edge. Inside the program, as in the database and
// every file, texts are Windows-1252; the terminal speaks the locale's
// encoding. The texts the user gives (session and test details) are
// converted from it on the way in, a character without a Windows-1252 form
// being refused rather than stored as something else, and everything
// printed is converted to it on the way out. File names, numbers and
// keywords stay as the system gives them. In the C locale, which names no
// encoding beyond ASCII, bytes pass unchanged both ways.

#include "base/ui_seam.h"
#include "cli/cli.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <string_view>
#include <unistd.h>

namespace {

constexpr const char* ANSI = "WINDOWS-1252";

// The options whose values are texts the database keeps or compares with
// what it keeps.
constexpr std::string_view TEXT_OPTIONS[] = {
    "--contract", "--unit",       "--date",       "--location", "--performed-by",
    "--comment",  "--session",    "--test",       "--winding",  "--description",
    "--tap",      "--conclusion", "--assessed-by"};

// The encoding the environment's locale names, or empty for plain ASCII
// (the C locale) and for Windows-1252 itself: nothing to convert then.
std::string locale_codeset()
{
    locale_t env = ::newlocale(LC_CTYPE_MASK, "", locale_t(0));
    if (env == locale_t(0))
        return {};
    std::string codeset = ::nl_langinfo_l(CODESET, env);
    ::freelocale(env);
    if (codeset == "ANSI_X3.4-1968" || codeset == "CP1252" || codeset == ANSI)
        return {};
    return codeset;
}

const std::string& codeset()
{
    static const std::string name = locale_codeset();
    return name;
}

// Converts text between two encodings; on a character the target has no
// form for, either fails or (with substitute) writes '?' for that byte of a
// single-byte source and goes on.
bool convert(const char* to, const char* from, const std::string& text, std::string& out,
             bool substitute)
{
    iconv_t cd = ::iconv_open(to, from);
    if (cd == iconv_t(-1))
        return false;
    out.clear();
    char* in = const_cast<char*>(text.data());
    size_t in_left = text.size();
    bool ok = true;
    while (in_left > 0 && ok) {
        char buffer[256];
        char* put = buffer;
        size_t put_left = sizeof buffer;
        const size_t rc = ::iconv(cd, &in, &in_left, &put, &put_left);
        out.append(buffer, size_t(put - buffer));
        if (rc != size_t(-1) || errno == E2BIG)
            continue;
        ok = substitute && errno == EILSEQ;
        if (ok) {
            out += '?';
            ++in;
            --in_left;
        }
    }
    ::iconv_close(cd);
    return ok;
}

// The descriptor a converted stream writes to.
ssize_t write_converted(void* cookie, const char* data, size_t size)
{
    std::string text;
    if (!convert(codeset().c_str(), ANSI, std::string(data, size), text, true))
        text.assign(data, size);
    const int fd = int(reinterpret_cast<intptr_t>(cookie));
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return -1;
        done += size_t(n);
    }
    return ssize_t(size);
}

// A stream over the descriptor that converts what is written to it,
// buffered as the stream it replaces; the stream given back where that
// cannot be made.
FILE* converting_stream(FILE* stream, bool buffered)
{
    const int fd = ::fileno(stream);
    const cookie_io_functions_t io{nullptr, write_converted, nullptr, nullptr};
    FILE* converted = ::fopencookie(reinterpret_cast<void*>(intptr_t(fd)), "w", io);
    if (!converted)
        return stream;
    const int mode = !buffered ? _IONBF : ::isatty(fd) ? _IOLBF : _IOFBF;
    std::setvbuf(converted, nullptr, mode, mode == _IONBF ? 0 : BUFSIZ);
    return converted;
}

} // namespace

void cli_print_in_locale()
{
    if (codeset().empty())
        return;
    std::fflush(stdout);
    std::fflush(stderr);
    stdout = converting_stream(stdout, true);
    stderr = converting_stream(stderr, false);
}

bool cli_to_ansi(const std::string& text, std::string& ansi)
{
    if (codeset().empty()) {
        ansi = text;
        return true;
    }
    return convert(ANSI, codeset().c_str(), text, ansi, false);
}

bool cli_convert_texts(cli_args& args)
{
    for (std::string_view name : TEXT_OPTIONS) {
        auto it = args.options.find(std::string(name));
        if (it == args.options.end())
            continue;
        std::string ansi;
        if (!cli_to_ansi(it->second, ansi)) {
            ui_message_box(nullptr,
                           "The text of " + it->first +
                               " holds a character that cannot be stored (only the characters "
                               "of Windows-1252 can)",
                           "Tarvelo2", MB_OK | MB_ICONINFORMATION);
            return false;
        }
        it->second = ansi;
    }
    return true;
}
