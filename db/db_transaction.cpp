#include "db/db_transaction.h"

#include "db/db_connection.h"

db_transaction_scope::db_transaction_scope() : owns_(!db_in_transaction() && db_begin() == 0) {}

db_transaction_scope::~db_transaction_scope()
{
    if (owns_)
        db_rollback();
}

int db_transaction_scope::commit()
{
    if (!owns_)
        return 0;
    owns_ = false;
    const int rc = db_commit();
    if (rc != 0)
        db_rollback();
    return rc;
}
