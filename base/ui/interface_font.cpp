// Loading the embedded interface font.

#include "base/ui/interface_font.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

// The font files live in this library's resources.
static void init_font_resources()
{
    Q_INIT_RESOURCE(tarvelo_fonts);
}

QString use_interface_font()
{
    static QString family;
    if (family.isEmpty()) {
        init_font_resources();
        for (const char* file :
             {":/fonts/DejaVuSansCondensed.ttf", ":/fonts/DejaVuSansCondensed-Bold.ttf"}) {
            const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            if (family.isEmpty() && !families.isEmpty())
                family = families.front();
        }
    }
    // The condensed face shares its family name with the wide one, so the
    // stretch is what picks it.
    QFont font = QApplication::font();
    if (!family.isEmpty())
        font.setFamilies({family});
    else
        font.setStyleHint(QFont::SansSerif);
    font.setStretch(QFont::SemiCondensed);
    // Hinting changes the advance widths; asking for it here rather than
    // taking the machine's font configuration keeps every text as wide as
    // the fit check measured it.
    font.setHintingPreference(QFont::PreferVerticalHinting);
    font.setPixelSize(INTERFACE_FONT_PIXELS);
    QApplication::setFont(font);
    return family;
}
