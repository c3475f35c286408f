#include "office/word_server.h"

#include "office/excel_server.h"

#include <cstdint>
#include <fstream>
#include <memory>
#include <zip.h>

namespace {

const wchar_t* const APPLICATION_MEMBERS[] = {L"Visible", L"Documents", L"Quit"};
const wchar_t* const DOCUMENTS_MEMBERS[] = {L"Add"};
const wchar_t* const DOCUMENT_MEMBERS[] = {L"InlineShapes"};
const wchar_t* const SHAPES_MEMBERS[] = {L"AddPicture"};
constexpr long EMU_PER_PIXEL = 9525; // at 96 dpi

struct s_document {
    bool made = false;
    std::vector<std::string> pictures;
};

HRESULT give(VARIANT* result, ole_object* object)
{
    *result = var_object(object);
    object->release();
    return S_OK;
}

class shapes_object : public ole_object {
public:
    explicit shapes_object(std::shared_ptr<s_document> doc) : doc_(std::move(doc)) {}
    HRESULT invoke(DISPID, uint16_t, std::span<const VARIANT> args, DISPID, VARIANT*) override
    {
        if (args.empty() || args.back().vt != VT_BSTR)
            return DISP_E_BADPARAMCOUNT;
        const std::string file = ole_utf8(args.back().bstrVal);
        if (!std::ifstream(file, std::ios::binary))
            return E_INVALIDARG;
        doc_->pictures.push_back(file);
        return S_OK;
    }

protected:
    std::span<const wchar_t* const> member_names() const override { return SHAPES_MEMBERS; }

private:
    std::shared_ptr<s_document> doc_;
};

class document_object : public ole_object {
public:
    explicit document_object(std::shared_ptr<s_document> doc) : doc_(std::move(doc)) {}
    HRESULT invoke(DISPID, uint16_t, std::span<const VARIANT>, DISPID, VARIANT* result) override
    {
        return give(result, new shapes_object(doc_));
    }

protected:
    std::span<const wchar_t* const> member_names() const override { return DOCUMENT_MEMBERS; }

private:
    std::shared_ptr<s_document> doc_;
};

class documents_object : public ole_object {
public:
    explicit documents_object(std::shared_ptr<s_document> doc) : doc_(std::move(doc)) {}
    HRESULT invoke(DISPID, uint16_t, std::span<const VARIANT>, DISPID, VARIANT* result) override
    {
        if (doc_->made)
            return E_FAIL; // one document per export
        doc_->made = true;
        return give(result, new document_object(doc_));
    }

protected:
    std::span<const wchar_t* const> member_names() const override { return DOCUMENTS_MEMBERS; }

private:
    std::shared_ptr<s_document> doc_;
};

class application_object : public ole_object {
public:
    HRESULT invoke(DISPID id, uint16_t kind, std::span<const VARIANT> args, DISPID,
                   VARIANT* result) override
    {
        if (id == 2)
            return give(result, new documents_object(doc_));
        if (id == 1 && (kind != DISPATCH_PROPERTYPUT || args.size() != 1))
            return DISP_E_BADPARAMCOUNT;
        visible_ = id == 1 && args[0].lVal != 0;
        return S_OK;
    }

protected:
    std::span<const wchar_t* const> member_names() const override { return APPLICATION_MEMBERS; }
    void on_last_release() override
    {
        if (!visible_ || doc_->pictures.empty())
            return;
        const auto pictures = doc_->pictures;
        office_write_report("document", "docx",
                            [&](const std::string& path) { return docx_write(pictures, path); });
    }

private:
    std::shared_ptr<s_document> doc_ = std::make_shared<s_document>();
    bool visible_ = false;
};

bool read_file(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Width and height of a Windows bitmap file; false for anything else.
bool bmp_size(const std::string& bytes, long& width, long& height)
{
    if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    const auto u32 = [&](size_t at) {
        return static_cast<int32_t>(
            static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
            static_cast<uint8_t>(bytes[at + 2]) << 16 |
            static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24);
    };
    width = u32(18);
    height = std::labs(u32(22));
    return width > 0 && height > 0;
}

std::string picture_xml(size_t n, long width, long height)
{
    const std::string id = std::to_string(n);
    const std::string cx = std::to_string(width * EMU_PER_PIXEL);
    const std::string cy = std::to_string(height * EMU_PER_PIXEL);
    return "<w:p><w:r><w:drawing><wp:inline><wp:extent cx=\"" + cx + "\" cy=\"" + cy +
           "\"/><wp:docPr id=\"" + id + "\" name=\"Picture " + id +
           "\"/><a:graphic><a:graphicData "
           "uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic><pic:nvPicPr>"
           "<pic:cNvPr id=\"" +
           id + "\" name=\"image" + id +
           ".bmp\"/><pic:cNvPicPr/></pic:nvPicPr>"
           "<pic:blipFill><a:blip r:embed=\"rIdImage" +
           id +
           "\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill><pic:spPr><a:xfrm><a:off "
           "x=\"0\" "
           "y=\"0\"/><a:ext cx=\"" +
           cx + "\" cy=\"" + cy +
           "\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr></pic:pic>"
           "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r></w:p>";
}

const char* const CONTENT_TYPES =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" "
    "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Default Extension=\"bmp\" ContentType=\"image/bmp\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/"
    "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "</Types>";
const char* const PACKAGE_RELS =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"word/document.xml\"/></Relationships>";

bool add(zip_t* zip, const std::string& name, std::shared_ptr<std::string> bytes,
         std::vector<std::shared_ptr<std::string>>& keep)
{
    keep.push_back(bytes);
    zip_source_t* source = zip_source_buffer(zip, bytes->data(), bytes->size(), 0);
    if (!source)
        return false;
    if (zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE) < 0) {
        zip_source_free(source);
        return false;
    }
    return true;
}

} // namespace

ole_object* word_server_create()
{
    return new application_object();
}

bool docx_write(const std::vector<std::string>& pictures, const std::string& path)
{
    std::string body;
    std::string rels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    std::vector<std::shared_ptr<std::string>> images;
    for (size_t i = 0; i < pictures.size(); ++i) {
        auto bytes = std::make_shared<std::string>();
        long width = 0, height = 0;
        if (!read_file(pictures[i], *bytes) || !bmp_size(*bytes, width, height))
            return false;
        body += picture_xml(i + 1, width, height);
        rels +=
            "<Relationship Id=\"rIdImage" + std::to_string(i + 1) +
            "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" "
            "Target=\"media/image" +
            std::to_string(i + 1) + ".bmp\"/>";
        images.push_back(bytes);
    }
    rels += "</Relationships>";
    const std::string document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
        "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
        "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
        "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><w:body>" +
        body + "<w:sectPr/></w:body></w:document>";
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        return false;
    std::vector<std::shared_ptr<std::string>> keep;
    bool ok = add(zip, "[Content_Types].xml", std::make_shared<std::string>(CONTENT_TYPES), keep) &&
              add(zip, "_rels/.rels", std::make_shared<std::string>(PACKAGE_RELS), keep) &&
              add(zip, "word/document.xml", std::make_shared<std::string>(document), keep) &&
              add(zip, "word/_rels/document.xml.rels", std::make_shared<std::string>(rels), keep);
    for (size_t i = 0; ok && i < images.size(); ++i)
        ok = add(zip, "word/media/image" + std::to_string(i + 1) + ".bmp", images[i], keep);
    if (!ok) {
        zip_discard(zip);
        return false;
    }
    return zip_close(zip) == 0;
}
