#include "app/doc_lookup.h"

#include <filesystem>

namespace fs = std::filesystem;

std::vector<std::string> doc_folders(const char* env_dir, const std::string& program_dir,
                                     const std::string& source_docs)
{
    std::vector<std::string> folders;
    if (env_dir && *env_dir)
        folders.emplace_back(env_dir);
    if (!program_dir.empty())
        folders.push_back(
            (fs::path(program_dir) / ".." / "share" / "doc" / "tarvelo2").lexically_normal());
    if (!source_docs.empty())
        folders.push_back(source_docs);
    return folders;
}

s_doc_search doc_find(const std::vector<std::string>& folders, const std::string& name)
{
    s_doc_search search;
    for (const std::string& folder : folders) {
        const std::string candidate = (fs::path(folder) / name).string();
        search.looked.push_back(candidate);
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) {
            search.path = candidate;
            break;
        }
    }
    return search;
}

std::string doc_missing_text(const std::string& what, const s_doc_search& search)
{
    std::string text = what + " was not found. The program looked for it at:";
    for (const std::string& place : search.looked)
        text += "\n" + place;
    if (search.looked.empty())
        text += "\n(no folder to look in)";
    return text;
}
