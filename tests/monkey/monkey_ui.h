#pragma once
// What the monkey answers when the program asks the user: every message box
// gets one of its own buttons at random, every file chooser a cancel, a file
// of the test folder or a new name inside it; web pages and written reports
// are noted instead of opened on the desktop.

#include "base/ui_seam.h"

#include <QObject>
#include <QUrl>
#include <cstdint>
#include <mutex>
#include <random>
#include <string>

class monkey_ui : public ui_backend {
public:
    monkey_ui(uint64_t seed, std::string folder);
    int message_box(ui_owner owner, const std::string& text, const std::string& caption,
                    unsigned style) override;
    void set_wait_cursor(bool) override {}
    bool choose_file(ui_owner owner, const ui_file_request& request,
                     ui_file_choice& choice) override;

    int boxes() const { return boxes_; }

private:
    size_t pick(size_t n);
    std::string existing_file();
    std::string new_file(const ui_file_request& request, int filter);

    std::mutex mutex_;
    std::mt19937_64 rng_;
    std::string folder_;
    int boxes_ = 0;
};

// Stands in for the desktop's browser and file opener.
class monkey_desktop : public QObject {
    Q_OBJECT
public:
    // Takes over the web and file schemes (made on the window thread).
    monkey_desktop();
    ~monkey_desktop() override;
    // Takes over the opener of written reports, once the program has set its own.
    static void take_reports();

public slots:
    void open(const QUrl& url);
};
