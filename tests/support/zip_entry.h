#pragma once
// Reading back what the program zipped: workbooks and documents.

#include <string>
#include <vector>
#include <zip.h>

// One member of a zip archive; empty when the archive or member is missing
// or cannot be read whole.
inline std::string zip_entry(const std::string& archive, const std::string& name)
{
    int error = 0;
    zip_t* zip = zip_open(archive.c_str(), ZIP_RDONLY, &error);
    if (!zip)
        return {};
    std::string bytes;
    zip_stat_t stat;
    if (zip_stat(zip, name.c_str(), 0, &stat) == 0) {
        zip_file_t* file = zip_fopen(zip, name.c_str(), 0);
        bytes.resize(stat.size);
        if (!file || zip_fread(file, bytes.data(), stat.size) != zip_int64_t(stat.size))
            bytes.clear();
        if (file)
            zip_fclose(file);
    }
    zip_close(zip);
    return bytes;
}

// The names of an archive's members.
inline std::vector<std::string> zip_names(const std::string& archive)
{
    std::vector<std::string> names;
    int error = 0;
    zip_t* zip = zip_open(archive.c_str(), ZIP_RDONLY, &error);
    if (!zip)
        return names;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i)
        names.emplace_back(zip_get_name(zip, static_cast<zip_uint64_t>(i), 0));
    zip_close(zip);
    return names;
}
