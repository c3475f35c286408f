// The Connect dialog.

#include "link/ui/connect_dialog.h"

#include "base/app_settings.h"
#include "base/ui/exchange_dialog.h"
#include "base/ui/qt_seams.h"
#include "base/ui_seam.h"
#include "link/discovery.h"
#include "link/identify.h"
#include "link/link.h"
#include "link/ui/instrument_chooser.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSerialPortInfo>
#include <array>

namespace {

const char* const TEST_CAPTION = "Test Connection";
constexpr std::array<const char*, 6> baud_rates = {"1200", "2400",  "4800",
                                                   "9600", "19200", "38400"};

// Dialog units of the 8-point interface font to pixels.
QRect dlu(int x, int y, int w, int h)
{
    return QRect(x * 3 / 2, y * 13 / 8, w * 3 / 2, h * 13 / 8);
}

template <class W> W* place(W* widget, int id, QRect geometry)
{
    widget->setGeometry(geometry);
    widget->setProperty("control_id", id);
    return widget;
}

QPushButton* button(QWidget* parent, const char* text, int id, QRect geometry)
{
    auto* b = place(new QPushButton(QString::fromLatin1(text), parent), id, geometry);
    b->setAutoDefault(false);
    return b;
}

void tell(QWidget* owner, const char* text)
{
    ui_message_box(owner, text, TEST_CAPTION, MB_ICONINFORMATION);
}

} // namespace

connect_dialog::connect_dialog(QWidget* owner, s_link& link) : QDialog(owner), link_(link)
{
    setWindowTitle(QStringLiteral("Connect"));
    setFixedSize(dlu(0, 0, 209, 89).size());
    build();
    fill_from_link();
}

void connect_dialog::build()
{
    (new QLabel(QStringLiteral("Interface:"), this))->setGeometry(dlu(14, 13, 39, 8));
    interface_ = place(new QComboBox(this), 113, dlu(60, 10, 68, 13));
    interface_->addItems({QStringLiteral("USB"), QStringLiteral("LAN"), QStringLiteral("Serial")});
    interface_->setCurrentIndex(-1);
    port_label_ = place(new QLabel(QStringLiteral("Com Port:"), this), 118, dlu(14, 32, 39, 8));
    // The ports found on the machine; a device path may also be typed
    // (pseudo-terminals are not found by enumeration).
    port_ = place(new QComboBox(this), 114, dlu(60, 30, 68, 13));
    port_->setEditable(true);
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        port_->addItem(info.systemLocation());
    port_->setCurrentIndex(-1);
    address_ = place(new QLineEdit(this), 117, dlu(60, 31, 67, 13));
    address_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^([0-9]{1,3}\\.){0,3}[0-9]{0,3}$")), address_));
    address_->setPlaceholderText(QStringLiteral("0.0.0.0"));
    search_ = button(this, "", 1006, dlu(130, 31, 15, 13));
    search_->setIcon(QIcon(QStringLiteral(":/icons/154.png")));
    search_->setIconSize(QSize(16, 16));
    search_->setToolTip(QStringLiteral("Find instruments on this subnet"));
    baud_label_ = place(new QLabel(QStringLiteral("Baud Rate:"), this), 119, dlu(14, 51, 39, 8));
    baud_ = place(new QComboBox(this), 115, dlu(60, 50, 68, 13));
    for (const char* rate : baud_rates)
        baud_->addItem(QString::fromLatin1(rate));
    baud_->setCurrentIndex(-1);
    auto* connect_button = button(this, "Connect", 112, dlu(154, 10, 50, 14));
    connect_button->setDefault(true);
    auto* cancel = button(this, "Cancel", 2, dlu(154, 30, 50, 14));
    auto* test = button(this, "Test", 116, dlu(154, 50, 50, 14));
    auto* save = button(this, "Save as Default", 120, dlu(135, 70, 70, 14));
    address_->hide();
    search_->hide();
    connect(interface_, &QComboBox::currentIndexChanged, this, [this] { interface_changed(); });
    connect(connect_button, &QPushButton::clicked, this, [this] { press_connect(); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(CONNECT_RESULT_CANCEL); });
    connect(test, &QPushButton::clicked, this, [this] { press_test(); });
    connect(save, &QPushButton::clicked, this, [this] { press_save_default(); });
    connect(search_, &QPushButton::clicked, this, [this] { press_search(); });
}

void connect_dialog::fill_from_link()
{
    if (link_.interface >= LINK_USB && link_.interface <= LINK_SERIAL)
        interface_->setCurrentIndex(link_.interface - 1);
    if (!link_.port_name.empty())
        port_->setCurrentText(QString::fromStdString(link_.port_name));
    const int baud = baud_->findText(QString::number(link_.baud_rate));
    if (link_.baud_rate != 0 && baud >= 0)
        baud_->setCurrentIndex(baud);
    address_->setText(QString::fromStdString(link_.ip_address));
}

void connect_dialog::interface_changed()
{
    const int selected = interface_->currentIndex();
    const bool lan = selected == LINK_LAN - 1;
    address_->setVisible(lan);
    search_->setVisible(lan);
    port_->setVisible(!lan);
    baud_->setVisible(!lan);
    baud_label_->setVisible(!lan);
    baud_->setEnabled(selected == LINK_SERIAL - 1);
    baud_label_->setEnabled(selected == LINK_SERIAL - 1);
    port_label_->setText(lan ? QStringLiteral("IP Address:") : QStringLiteral("COM Port:"));
}

QWidget* connect_dialog::control(int id) const
{
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w->property("control_id").toInt() == id)
            return w;
    }
    return nullptr;
}

void connect_dialog::read_into_link()
{
    if (interface_->currentIndex() >= 0)
        link_.interface = interface_->currentIndex() + 1;
    link_.port_name = port_->currentText().trimmed().toStdString();
    if (baud_->currentIndex() >= 0)
        link_.baud_rate = baud_->currentText().toInt();
    if (link_.interface == LINK_USB)
        link_.baud_rate = LINK_USB_BAUD;
    const std::string address = address_->text().trimmed().toStdString().substr(0, 15);
    link_.ip_address = address == "0.0.0.0" ? std::string() : address;
}

bool connect_dialog::valid()
{
    if (link_.interface == LINK_LAN && link_.ip_address.empty()) {
        tell(this, "Please enter an IP address");
        return false;
    }
    if (link_.interface == LINK_USB || link_.interface == LINK_SERIAL) {
        if (link_.port_name.empty()) {
            tell(this, "Please select a COM Port");
            return false;
        }
        if (link_.baud_rate == 0) {
            tell(this, "Please choose a baudrate");
            return false;
        }
    }
    return true;
}

namespace {

// Identifies the instrument on a worker while the progress dialog shows; a
// cancelled try has told nothing and identified nothing.
bool identify_in_dialog(QWidget* owner, s_link& link)
{
    bool identified = false;
    run_exchange(owner, "Connecting to the instrument\x85",
                 [owner, &link, &identified](const std::atomic<bool>& cancel) {
                     const link_cancel_scope scope(link, cancel);
                     identified = connect_and_identify(owner, link, true);
                     return identified;
                 });
    return identified;
}

} // namespace

void connect_dialog::press_test()
{
    read_into_link();
    if (valid())
        identify_in_dialog(this, link_);
}

void connect_dialog::press_connect()
{
    link_.identified = false;
    link_set_type(link_, 0);
    link_.current_option = 0;
    read_into_link();
    if (link_.interface != LINK_NONE && !valid())
        return;
    link_.identified = identify_in_dialog(this, link_);
    if (link_.identified)
        done(CONNECT_RESULT_CONNECTED);
}

void connect_dialog::press_save_default()
{
    read_into_link();
    s_connect_defaults c;
    c.interface = link_.interface;
    c.port_name = link_.port_name;
    c.baud_rate = link_.baud_rate;
    c.ip_address = link_.ip_address;
    settings_save_connect(current_app_paths(), c);
}

void connect_dialog::press_search()
{
    std::array<s_discovered, DISCOVERY_CAPACITY> list{};
    int found = 0;
    // Each instrument found is asked who it is on the same worker: a slow
    // one keeps the search's progress dialog up, not the window.
    std::vector<s_chooser_row> rows;
    const exchange_outcome searched =
        run_exchange(this, "Searching the network for instruments\x85",
                     [&list, &found, &rows](const std::atomic<bool>& cancel) {
                         found = discover_lan_instruments(list.data(), DISCOVERY_CAPACITY);
                         if (found > 0 && !cancel)
                             rows = discovery_probe(list.data(), found);
                         return found > 0;
                     });
    if (searched == exchange_outcome::cancelled)
        return;
    if (found == 0) {
        ui_message_box(this, "No Instruments found on this subnet", "LAN Find Instrument",
                       MB_ICONINFORMATION);
        return;
    }
    const int chosen = choose_instrument(this, rows);
    if (chosen >= 0)
        address_->setText(QString::fromLatin1(list[chosen].address));
}

void run_connect_dialog(QWidget* owner)
{
    connect_dialog dialog(owner, g_link);
    dialog.exec();
}
