#pragma once
// The Connect dialog: how the instrument is attached (USB, LAN or serial),
// Test, Connect, Save as Default, and the LAN search. It fills the link
// record and identifies the instrument; the link is closed again after each
// Test and Connect, and the caller looks only at link.identified.

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct s_link;

// The dialog's results: connected, or left without connecting.
constexpr int CONNECT_RESULT_CONNECTED = 112;
constexpr int CONNECT_RESULT_CANCEL = 2;

class connect_dialog : public QDialog {
    Q_OBJECT
public:
    connect_dialog(QWidget* owner, s_link& link);

    // The control of a dialog id (113 interface, 114 port, 115 baud, 117
    // address, 112 Connect, 116 Test, 120 Save as Default, 1006 search).
    QWidget* control(int id) const;

    void press_test();
    void press_connect();
    void press_save_default();
    void press_search();

private:
    void build();
    void fill_from_link();
    void interface_changed();
    // The dialog's choice into the link record.
    void read_into_link();
    bool valid();

    s_link& link_;
    QComboBox* interface_ = nullptr;
    QComboBox* port_ = nullptr;
    QLineEdit* address_ = nullptr;
    QPushButton* search_ = nullptr;
    QComboBox* baud_ = nullptr;
    QLabel* port_label_ = nullptr;
    QLabel* baud_label_ = nullptr;
};

// Runs the dialog modally on the process-wide link.
void run_connect_dialog(QWidget* owner);
