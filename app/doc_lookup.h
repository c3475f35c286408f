#pragma once
// Where the program finds the user guide and the licence texts: the folder
// named by TARVELO2_DOC_DIR, then share/doc/tarvelo2 of the installation the
// program runs from, then the docs folder of the source tree it was built
// from. Plain file-system lookups, no windows.

#include <string>
#include <vector>

// The folders in the order they are searched; empty arguments are left out.
std::vector<std::string> doc_folders(const char* env_dir, const std::string& program_dir,
                                     const std::string& source_docs);

struct s_doc_search {
    std::string path;                // the file found, or empty
    std::vector<std::string> looked; // every place tried, in order
};

// The first folder that holds name ("guide.md", "licences/qt.txt") as a file.
s_doc_search doc_find(const std::vector<std::string>& folders, const std::string& name);

// What the user is told when a search found nothing: what, and where it looked.
std::string doc_missing_text(const std::string& what, const s_doc_search& search);
