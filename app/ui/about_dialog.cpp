// The About box.

#include "app/ui/about_dialog.h"

#include "base/app_settings.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

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
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    auto* grid = new QGridLayout(&box);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(name, 0, 1);
    grid->addWidget(version, 1, 1);
    grid->addWidget(buttons, 2, 0, 1, 2);
    box.exec();
}
