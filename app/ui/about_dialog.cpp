// The About box: name, version, and what the program carries and links,
// each with its licence text a button away.

#include "app/ui/about_dialog.h"

#include "app/ui/help_window.h"
#include "base/app_settings.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#ifndef TARVELO_VERSION
#define TARVELO_VERSION ""
#endif

namespace {

struct s_carried {
    const char* name;    // on its button
    const char* licence; // beside it
    const char* file;    // under the documentation folder
};

constexpr s_carried carried[] = {
    {"Qt 6", "GNU Lesser General Public License 3", "licences/qt.txt"},
    {"SQLite", "public domain", "licences/sqlite.txt"},
    {"libxlsxwriter", "BSD 2-clause licence", "licences/libxlsxwriter.txt"},
    {"libzip", "BSD 3-clause licence", "licences/libzip.txt"},
    {"libpq", "PostgreSQL licence", "licences/libpq.txt"},
    {"OpenSSL", "Apache License 2.0", "licences/openssl.txt"},
    {"DejaVu fonts", "Bitstream Vera fonts licence", "licences/dejavu.txt"},
};

void add_carried(QDialog& box, QGridLayout* grid, int row, const s_carried& c)
{
    const QString name = QString::fromLatin1(c.name);
    auto* button = new QPushButton(name + QStringLiteral(" licence"), &box);
    button->setToolTip(QStringLiteral("Show the licence of ") + name);
    QObject::connect(button, &QPushButton::clicked, &box, [&box, c, name] {
        show_doc_text(&box, c.file, name + QStringLiteral(" licence"),
                      std::string("The licence text of ") + c.name);
    });
    grid->addWidget(button, row, 1);
    grid->addWidget(new QLabel(QString::fromLatin1(c.licence), &box), row, 2);
}

} // namespace

void show_about_box(QWidget* owner)
{
    QDialog box(owner);
    box.setWindowTitle(QStringLiteral("About"));
    auto* icon = new QLabel(&box);
    icon->setPixmap(QPixmap(QStringLiteral(":/icons/180.png")));
    auto* name = new QLabel(QString::fromLatin1(PROGRAM_NAME), &box);
    name->setObjectName(QStringLiteral("program"));
    auto* version = new QLabel(QString::fromLatin1(PROGRAM_VERSION), &box);
    version->setObjectName(QStringLiteral("version"));
    auto* release = new QLabel(QStringLiteral("Release " TARVELO_VERSION), &box);
    release->setObjectName(QStringLiteral("release"));
    auto* grid = new QGridLayout(&box);
    grid->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(name, 0, 1, 1, 2);
    grid->addWidget(version, 1, 1, 1, 2);
    grid->addWidget(release, 2, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("It carries and links:"), &box), 3, 1, 1, 2);
    int row = 4;
    for (const s_carried& c : carried)
        add_carried(box, grid, row++, c);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    grid->addWidget(buttons, row, 0, 1, 3);
    box.exec();
}
