#include "archive/archive_address.h"

#include "base/ansi_text.h"

#include <arpa/inet.h>
#include <libpq-fe.h>
#include <memory>
#include <regex>
#include <sstream>

namespace {

// A loopback address in numbers: a name that merely starts "127." may be
// any host.
bool is_loopback_v4(const std::string& host)
{
    in_addr address{};
    return ::inet_pton(AF_INET, host.c_str(), &address) == 1 && host.rfind("127.", 0) == 0;
}

bool host_is_local(const std::string& host)
{
    return host.empty() || host.front() == '/' || host.front() == '@' || host == "localhost" ||
           is_loopback_v4(host) || host == "::1" || host == "[::1]";
}

void set_keyword(archive_keywords& keywords, const std::string& name, const std::string& value)
{
    for (auto& [k, v] : keywords)
        if (k == name) {
            v = value;
            return;
        }
    keywords.emplace_back(name, value);
}

const std::string* keyword(const archive_keywords& keywords, const std::string& name)
{
    for (const auto& [k, v] : keywords)
        if (k == name)
            return &v;
    return nullptr;
}

} // namespace

bool archive_hosts_are_local(const std::string& hosts)
{
    std::stringstream in(hosts);
    std::string host;
    while (std::getline(in, host, ','))
        if (!host_is_local(host))
            return false;
    return true;
}

std::string archive_mask_secrets(const std::string& text)
{
    static const std::regex userinfo(R"((://[^/@\s:]*):[^@\s]*@)");
    static const std::regex keyword(R"((password\s*=\s*)('(\\.|[^'])*'|[^\s&]+))",
                                    std::regex::icase);
    return std::regex_replace(std::regex_replace(text, userinfo, "$1:*****@"), keyword, "$1*****");
}

bool archive_link_needs_tls(const std::string& host, const std::string& address)
{
    return !host_is_local(address.empty() ? host : address);
}

archive_keywords archive_address_keywords(const std::string& address, const std::string& password,
                                          std::string& error)
{
    char* message = nullptr;
    std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(
        PQconninfoParse(address.c_str(), &message), &PQconninfoFree);
    if (!options) {
        error =
            archive_mask_secrets(utf8_to_ansi(message ? message : "the address cannot be read"));
        while (!error.empty() && error.back() == '\n')
            error.pop_back();
        PQfreemem(message);
        return {};
    }
    archive_keywords keywords;
    for (const PQconninfoOption* o = options.get(); o->keyword; ++o)
        if (o->val)
            keywords.emplace_back(o->keyword, o->val);
    // hostaddr, when given, is where the connection really goes.
    const std::string* hostaddr = keyword(keywords, "hostaddr");
    const std::string* host = keyword(keywords, "host");
    const std::string hosts = hostaddr ? *hostaddr : host ? *host : std::string();
    if (!keyword(keywords, "sslmode") && !archive_hosts_are_local(hosts))
        set_keyword(keywords, "sslmode", "require");
    if (!password.empty())
        set_keyword(keywords, "password", password);
    // A server that stops answering is noticed: the link is probed when
    // idle, and no statement runs longer than the server allows.
    for (const auto& [name, value] : {std::pair{"connect_timeout", "10"},
                                      {"keepalives", "1"},
                                      {"keepalives_idle", "30"},
                                      {"keepalives_interval", "10"},
                                      {"keepalives_count", "3"}})
        if (!keyword(keywords, name))
            set_keyword(keywords, name, value);
    const std::string* given = keyword(keywords, "options");
    set_keyword(keywords, "options",
                (given && !given->empty() ? *given + " " : std::string()) +
                    "-c statement_timeout=" + std::to_string(ARCHIVE_STATEMENT_TIMEOUT_S) + "s");
    // Texts travel in UTF-8, converted here from and to the program's
    // Windows-1252 (base/ansi_text.h): every byte has its character.
    set_keyword(keywords, "client_encoding", "UTF8");
    set_keyword(keywords, "application_name", "tarvelo2");
    return keywords;
}
