#pragma once
// The user-interface seam: the only way core code speaks to the user.
// ui_message_box() shows a message box and returns the button pressed; it
// may be called from any thread (a worker blocks until it is answered). The
// wait cursor is an RAII guard on the same seam.
//
// The Qt build installs a backend that shows QMessageBox on the window
// thread. Tests and the command-line companion install a scripted_ui, which
// records every box and answers from a script.

#include <mutex>
#include <string>
#include <vector>

using ui_owner = void*;

// Message box styles and results, with the values the system has always
// used, so stored scripts and callers can keep comparing against them.
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON2 = 0x100, // the second button (No of Yes/No) is the default
    MB_BUTTON_MASK = 0xF,
    MB_ICON_MASK = 0xF0,
};

enum : int { IDOK = 1, IDCANCEL = 2, IDRETRY = 4, IDYES = 6, IDNO = 7 };

// An open or save file chooser. Caption and filter texts are Windows-1252;
// filters are "Name (*.a *.b)" entries separated by ";;". A name typed
// without a suffix gets default_suffix ("db", no dot) when one is given. The
// save chooser asks nothing about an existing file: the caller decides.
struct ui_file_request {
    bool save = false;
    std::string caption;
    std::string filters;
    std::string default_suffix;
    std::string start; // folder or file name the chooser starts at
    int filter = 0;    // filter preselected
};

// The chosen path (file-system bytes) and the index of the filter in force.
struct ui_file_choice {
    std::string path;
    int filter = 0;
};

class ui_backend {
public:
    virtual ~ui_backend() = default;
    virtual int message_box(ui_owner owner, const std::string& text, const std::string& caption,
                            unsigned style) = 0;
    virtual void set_wait_cursor(bool on) = 0;
    // False when the user cancels.
    virtual bool choose_file(ui_owner owner, const ui_file_request& request,
                             ui_file_choice& choice) = 0;
};

// Installs the process-wide backend (nullptr restores the default scripted
// one). The caller keeps ownership.
void ui_set_backend(ui_backend* backend);
ui_backend& ui_current_backend();

// Texts and captions are Windows-1252 bytes, as everywhere in the core.
int ui_message_box(ui_owner owner, const std::string& text, const std::string& caption,
                   unsigned style);

// Window thread only. False (and choice untouched) when the user cancels.
bool ui_choose_file(ui_owner owner, const ui_file_request& request, ui_file_choice& choice);

// path with ".suffix" appended when its file name has no suffix of its own.
std::string ui_with_default_suffix(const std::string& path, const std::string& suffix);

class wait_cursor {
public:
    wait_cursor();
    ~wait_cursor();
    wait_cursor(const wait_cursor&) = delete;
    wait_cursor& operator=(const wait_cursor&) = delete;
};

struct ui_shown_box {
    std::string text;
    std::string caption;
    unsigned style = 0;
    int answer = 0;
};

// Records every box and answers from a queue of scripted answers; when the
// queue is empty it answers with the default for the box's buttons: OK for
// MB_OK and MB_OKCANCEL, and the negative answer (No) for questions unless
// default_yes is set.
class scripted_ui : public ui_backend {
public:
    int message_box(ui_owner owner, const std::string& text, const std::string& caption,
                    unsigned style) override;
    void set_wait_cursor(bool on) override;

    void push_answer(int answer);
    void set_default_yes(bool yes);
    std::vector<ui_shown_box> shown() const;
    void clear();

    // File choosers answer from their own queue, as the user would type:
    // the default suffix is applied; an empty queue cancels.
    bool choose_file(ui_owner owner, const ui_file_request& request,
                     ui_file_choice& choice) override;
    void push_file(const std::string& path, int filter = 0);
    void push_file_cancel();
    std::vector<ui_file_request> file_requests() const;
    int wait_cursor_depth() const;

    // Called for every box after it is recorded (the command line prints it).
    void set_echo(void (*echo)(const ui_shown_box&));

private:
    mutable std::mutex mutex_;
    std::vector<int> answers_;
    std::vector<ui_shown_box> shown_;
    std::vector<ui_file_choice> files_; // an empty path cancels
    std::vector<ui_file_request> file_requests_;
    bool default_yes_ = false;
    int wait_depth_ = 0;
    void (*echo_)(const ui_shown_box&) = nullptr;
};
