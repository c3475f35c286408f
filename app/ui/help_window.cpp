#include "app/ui/help_window.h"

#include "app/doc_lookup.h"
#include "base/ui/window_geometry.h"
#include "base/ui_seam.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>
#include <cstdlib>
#include <map>
#include <vector>

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

// The guide's text, its pictures no wider than the view: a picture wider
// than the text's width is drawn at that width, its height in proportion.
class guide_browser : public QTextBrowser {
public:
    explicit guide_browser(QWidget* parent) : QTextBrowser(parent) {}

    void fit_pictures()
    {
        const int room = viewport()->width() - 2 * int(document()->documentMargin());
        if (room <= 0)
            return;
        for (picture& p : pictures()) {
            const double width = natural_width(p.format.name()) > room ? room : 0;
            if (p.format.width() == width)
                continue;
            if (width > 0)
                p.format.setWidth(width);
            else
                p.format.clearProperty(QTextFormat::ImageWidth);
            QTextCursor cursor(document());
            cursor.setPosition(p.start);
            cursor.setPosition(p.end, QTextCursor::KeepAnchor);
            cursor.setCharFormat(p.format);
        }
    }

protected:
    bool viewportEvent(QEvent* event) override
    {
        const bool done = QTextBrowser::viewportEvent(event);
        if (event->type() == QEvent::Resize)
            fit_pictures();
        return done;
    }

private:
    struct picture {
        int start, end;
        QTextImageFormat format;
    };

    // Every picture of the document, where it stands and how it is drawn.
    std::vector<picture> pictures() const
    {
        std::vector<picture> found;
        for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                if (const QTextImageFormat format = f.charFormat().toImageFormat();
                    format.isValid())
                    found.push_back({f.position(), f.position() + f.length(), format});
            }
        return found;
    }

    // The width the picture has of itself (0 when it cannot be read).
    int natural_width(const QString& name)
    {
        auto known = widths_.find(name);
        if (known != widths_.end())
            return known->second;
        const QVariant data = document()->resource(QTextDocument::ImageResource, QUrl(name));
        QImage image;
        if (data.userType() == QMetaType::QImage)
            image = data.value<QImage>();
        else if (data.userType() == QMetaType::QPixmap)
            image = data.value<QPixmap>().toImage();
        else
            image = QImage::fromData(data.toByteArray());
        return widths_[name] = image.width();
    }

    std::map<QString, int> widths_;
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
    auto* browser = new guide_browser(window);
    browser->setObjectName(QStringLiteral("guide"));
    browser->setOpenExternalLinks(true);
    browser->setUndoRedoEnabled(false);
    // Pictures and linked pages are found beside the guide.
    browser->setSource(QUrl::fromLocalFile(QString::fromLocal8Bit(path.c_str())),
                       QTextDocument::MarkdownResource);
    browser->fit_pictures();
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
