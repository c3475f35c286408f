#include "db/db_verdict.h"

#include "db/db_connection.h"
#include "db/db_statement.h"
#include "db/db_transaction.h"

#include <algorithm>
#include <sqlite3.h>

namespace {

constexpr const char* CREATE_VERDICT =
    "CREATE TABLE IF NOT EXISTS Verdict ( TestNo INTEGER PRIMARY KEY, Pass INTEGER NOT NULL, "
    "Bin INTEGER DEFAULT 0, BinName VARCHAR2(50), Failed TEXT, Limits VARCHAR2(260))";

bool verdict_table_exists(int& code)
{
    db_statement query("SELECT 1 FROM sqlite_master WHERE type='table' AND name='Verdict'");
    const bool exists = query.step();
    code = query.code();
    return exists;
}

// The failed texts as one column, a line each; a line break inside a text
// would split it on reading, so control characters become spaces.
std::string join_lines(const std::vector<std::string>& texts)
{
    std::string out;
    for (const std::string& text : texts) {
        if (!out.empty())
            out += '\n';
        for (const char c : text)
            out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    return out;
}

std::vector<std::string> split_lines(const std::string& text)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

} // namespace

const char* verdict_word(const s_test_verdict& verdict)
{
    return verdict.pass ? "PASS" : "FAIL";
}

std::string verdict_line(const s_test_verdict& verdict)
{
    std::string line = verdict_fields(verdict).front().second;
    for (size_t i = 0; i < verdict.failed.size(); ++i)
        line += (i ? "; " : ": ") + verdict.failed[i];
    return line;
}

std::string verdict_export_lines(const s_test_verdict& verdict)
{
    std::string lines = std::string("Verdict,result,") + verdict_word(verdict) + "\n";
    if (verdict.bin > 0)
        lines += ",bin," + std::to_string(verdict.bin) + "\n,bin name," + verdict.bin_name + "\n";
    lines += ",limit set," + verdict.limits + "\n";
    for (const std::string& failed : verdict.failed) {
        std::string quoted;
        for (const char c : failed)
            quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        lines += ",failed check,\"" + quoted + "\"\n";
    }
    return lines;
}

std::vector<std::pair<std::string, std::string>> verdict_fields(const s_test_verdict& verdict)
{
    std::string result = verdict_word(verdict);
    if (verdict.bin > 0)
        result += ", bin " + std::to_string(verdict.bin) + " (" + verdict.bin_name + ")";
    std::vector<std::pair<std::string, std::string>> fields{{"Result", result},
                                                            {"Limit set", verdict.limits}};
    for (const std::string& failed : verdict.failed)
        fields.emplace_back("Failed check", failed);
    return fields;
}

int db_store_verdict(int64_t test_no, const s_test_verdict& verdict)
{
    if (!db_is_open())
        return -1;
    db_transaction_scope transaction;
    int rc = db_statement(CREATE_VERDICT).run();
    if (rc != SQLITE_OK)
        return rc;
    db_statement insert("INSERT OR REPLACE INTO Verdict VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    insert.bind_int64(1, test_no);
    insert.bind_int64(2, verdict.pass ? 1 : 0);
    insert.bind_int64(3, verdict.bin);
    insert.bind_text(4, verdict.bin_name);
    insert.bind_text(5, join_lines(verdict.failed));
    insert.bind_text(6, verdict.limits);
    rc = insert.run();
    return rc == SQLITE_OK ? transaction.commit() : rc;
}

int db_read_verdict(int64_t test_no, s_test_verdict& verdict, bool& found)
{
    found = false;
    verdict = s_test_verdict{};
    if (!db_is_open())
        return -1;
    int rc = SQLITE_OK;
    if (!verdict_table_exists(rc))
        return rc;
    db_statement query("SELECT Pass, Bin, BinName, Failed, Limits FROM Verdict WHERE TestNo=?1");
    query.bind_int64(1, test_no);
    if (query.step()) {
        found = true;
        verdict.pass = query.int64(0) != 0;
        verdict.bin = static_cast<int>(query.int64(1));
        verdict.bin_name = query.text(2);
        verdict.failed = split_lines(query.text(3));
        verdict.limits = query.text(4);
    }
    return query.code();
}

int db_delete_verdicts(const char* where, int64_t key)
{
    int rc = SQLITE_OK;
    if (!verdict_table_exists(rc))
        return rc;
    db_statement statement(std::string("DELETE FROM Verdict WHERE ") + where);
    statement.bind_int64(1, key);
    return statement.run();
}
