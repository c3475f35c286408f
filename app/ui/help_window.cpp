#include "app/ui/help_window.h"

#include "app/doc_lookup.h"
#include "base/ui/window_geometry.h"
#include "base/ui_seam.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <cstdlib>

#ifndef TARVELO2_SOURCE_DOCS
#define TARVELO2_SOURCE_DOCS ""
#endif

namespace {

const char* const GUIDE_NAME = "guide.md";
const char* const GUIDE_WINDOW = "help_window";
const char* const GUIDE_GEOMETRY = "Guide";

// The guide opens where the user last left it, centred on the main window
// the first time.
class guide_window : public QWidget {
public:
    explicit guide_window(QWidget* owner) : QWidget(owner, Qt::Window) {}

protected:
    void closeEvent(QCloseEvent* event) override
    {
        window_geometry_save(this, GUIDE_GEOMETRY);
        QWidget::closeEvent(event);
    }
};

QWidget* open_guide(QWidget* owner)
{
    for (QWidget* w : owner->findChildren<QWidget*>(QString::fromLatin1(GUIDE_WINDOW),
                                                    Qt::FindDirectChildrenOnly))
        return w;
    return nullptr;
}

QWidget* make_guide(QWidget* owner, const std::string& path)
{
    auto* window = new guide_window(owner);
    window->setObjectName(QString::fromLatin1(GUIDE_WINDOW));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("Tarvelo2 User Guide"));
    auto* browser = new QTextBrowser(window);
    browser->setObjectName(QStringLiteral("guide"));
    browser->setOpenExternalLinks(true);
    // Pictures and linked pages are found beside the guide.
    browser->setSource(QUrl::fromLocalFile(QString::fromLocal8Bit(path.c_str())),
                       QTextDocument::MarkdownResource);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    window_geometry_restore(window, GUIDE_GEOMETRY, QSize(640, 480), owner);
    return window;
}

} // namespace

std::vector<std::string> help_doc_folders()
{
    return doc_folders(std::getenv("TARVELO2_DOC_DIR"),
                       QCoreApplication::applicationDirPath().toLocal8Bit().toStdString(),
                       TARVELO2_SOURCE_DOCS);
}

void show_user_guide(QWidget* owner)
{
    QWidget* window = open_guide(owner);
    if (!window) {
        const s_doc_search search = doc_find(help_doc_folders(), GUIDE_NAME);
        if (search.path.empty()) {
            ui_message_box(owner, doc_missing_text("The user guide", search), "User Guide",
                           MB_OK | MB_ICONINFORMATION);
            return;
        }
        window = make_guide(owner, search.path);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void show_doc_text(QWidget* owner, const std::string& name, const QString& title,
                   const std::string& what)
{
    const s_doc_search search = doc_find(help_doc_folders(), name);
    QFile file(QString::fromLocal8Bit(search.path.c_str()));
    if (search.path.empty() || !file.open(QIODevice::ReadOnly)) {
        ui_message_box(owner, doc_missing_text(what, search), "About", MB_OK | MB_ICONINFORMATION);
        return;
    }
    QDialog viewer(owner);
    viewer.setObjectName(QStringLiteral("text_viewer"));
    viewer.setWindowTitle(title);
    auto* text = new QPlainTextEdit(QString::fromUtf8(file.readAll()), &viewer);
    text->setObjectName(QStringLiteral("viewer_text"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &viewer);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &viewer, &QDialog::reject);
    auto* layout = new QVBoxLayout(&viewer);
    layout->addWidget(text);
    layout->addWidget(buttons);
    viewer.resize(720, 560);
    viewer.exec();
}
