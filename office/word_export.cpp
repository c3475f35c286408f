#include "office/word_export.h"

#include "office/excel_server.h"
#include "office/ole.h"

int word_export_picture(const std::string& picture_file)
{
    ole_object *app = nullptr, *documents = nullptr, *document = nullptr;
    if (const int started = word_start(app, documents, document); started != 0) {
        ole_show_start_failure(started, "Word", "Word Export Error");
        return -1;
    }
    doc_add_picture(document, picture_file);
    ole_release(document);
    ole_release(documents);
    return office_release_report(app);
}
