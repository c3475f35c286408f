#pragma once
// The archive's tables in PostgreSQL: made on first use, versioned, and
// recognised (or refused) when a connection opens.

#include "archive/archive_connection.h"

// Checks that the connected database holds an archive of a version this
// program knows; with archive_use::write an empty database is given the
// archive's tables. A database of other tables, or an archive of a newer
// version, is refused and left as it was.
archive_outcome archive_schema_check(pg_conn* conn, archive_use use);
