#pragma once
// What an archive operation did, for the window or the command line to word.

#include <string>

enum class archive_status {
    done,
    unreachable,    // no connection (wrong address, server down, password refused)
    needs_password, // the server asks for a password that was not given
    refused,        // not an archive, an archive of a newer version, a bad filter
    failed,         // a statement failed on the way (the local file is unchanged)
    cancelled,      // the user stopped it (what was done before stays)
};

// text with the passwords an address may carry (a URI's userinfo,
// password= and sslpassword= values) masked.
std::string archive_mask_secrets(const std::string& text);

// "1 test", "2 tests".
inline std::string archive_tests_text(int count)
{
    return std::to_string(count) + (count == 1 ? " test" : " tests");
}

struct archive_outcome {
    archive_status status = archive_status::done;
    std::string message; // empty when done; never a password

    bool ok() const { return status == archive_status::done; }
    static archive_outcome fail(archive_status status, std::string message)
    {
        return {status, archive_mask_secrets(message)};
    }
};
