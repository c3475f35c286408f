#include "base/ui/display_text.h"

#include "base/ui/qt_seams.h"

#include <QRegularExpression>

QString qt_display_text(const std::string& ansi)
{
    static const QRegularExpression tan_delta(QStringLiteral("\\btan ?\\x{00F0}"),
                                              QRegularExpression::CaseInsensitiveOption);
    return qt_from_ansi(ansi).replace(tan_delta, QStringLiteral("tan \u03B4"));
}
