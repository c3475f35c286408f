#include "archive/archive_identity.h"

#include "base/ansi_text.h"

#include <bit>
#include <openssl/evp.h>

namespace {

void put_u64(std::string& out, uint64_t v)
{
    for (int shift = 56; shift >= 0; shift -= 8)
        out.push_back(char(v >> shift));
}

// Each text carries its length, so no two field lists run together alike.
void put_bytes(std::string& out, const std::string& bytes)
{
    put_u64(out, bytes.size());
    out += bytes;
}

// Texts count as the archive stores them, in UTF-8.
void put_text(std::string& out, const std::string& ansi)
{
    put_bytes(out, ansi_to_utf8(ansi));
}

std::string sha256(const std::string& bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr);
    return std::string(reinterpret_cast<const char*>(digest), length);
}

} // namespace

bool archive_valid_date(int year, int month, int day)
{
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > days[month - 1])
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month != 2 || day < 29 || leap;
}

std::string archive_session_identity(const s_session& s)
{
    std::string bytes = "session/2";
    put_text(bytes, s.Name);
    put_text(bytes, s.Unit);
    put_u64(bytes, uint64_t(int64_t(s.year)));
    put_u64(bytes, uint64_t(int64_t(s.month)));
    put_u64(bytes, uint64_t(int64_t(s.day)));
    return sha256(bytes);
}

std::string archive_test_identity(const std::string& session_identity, const s_test& test)
{
    std::string bytes = "test/2";
    put_bytes(bytes, session_identity);
    put_text(bytes, test.Name);
    put_text(bytes, test.Winding);
    put_text(bytes, test.TestDescription);
    put_u64(bytes, uint64_t(test.points.count()));
    for (const s_test_point& p : test.points) {
        put_u64(bytes, std::bit_cast<uint64_t>(p.Frequency));
        put_u64(bytes, std::bit_cast<uint64_t>(p.Amplitude));
        put_u64(bytes, std::bit_cast<uint64_t>(p.Phase));
    }
    return sha256(bytes);
}
