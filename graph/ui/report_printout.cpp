#include "graph/ui/report_printout.h"

#include <QLocale>

s_printout report_printout(report_document doc, std::shared_ptr<const void> keep)
{
    // The document goes first when the last copy of the printout does.
    std::shared_ptr<const report_document> shared(new report_document(std::move(doc)),
                                                  [keep](const report_document* d) { delete d; });
    s_printout out;
    out.name = shared->title().toLocal8Bit().toStdString();
    out.print = [shared](QPrinter& printer, std::string& error) {
        return shared->print(printer, error);
    };
    out.write_pdf = [shared](const std::string& path, std::string& error) {
        return shared->write_pdf(path, report_paper_of(QLocale()), error);
    };
    return out;
}
