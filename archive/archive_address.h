#pragma once
// The archive's address: a libpq connection string or URI as the user
// typed it, turned into the keywords a connection is made with.

#include <string>
#include <utility>
#include <vector>

// The longest a statement may run on the server.
constexpr int ARCHIVE_STATEMENT_TIMEOUT_S = 120;

using archive_keywords = std::vector<std::pair<std::string, std::string>>;

// The keywords of address, or an empty list with why in error. A host
// that is not loopback or a Unix socket gets sslmode=require unless the
// address names an sslmode itself; the texts travel as UTF-8, as do the
// address and password themselves (SCRAM wants them so); a password
// given here is kept in memory only. Idle links are
// probed (TCP keepalives) and statements time out on the server.
archive_keywords archive_address_keywords(const std::string& address, const std::string& password,
                                          std::string& error);
// True when every host of a host list ("a,b") is loopback or a socket folder.
bool archive_hosts_are_local(const std::string& hosts);
// True when a connection that went to host (PQhost) at address
// (PQhostaddr, empty over a Unix socket) left this machine.
bool archive_link_needs_tls(const std::string& host, const std::string& address);
