#pragma once
// A transaction for one operation: it begins one unless the caller already
// has one open, commits it with commit(), and rolls it back if the scope
// ends without a commit. Inside a caller's transaction it does nothing.

class db_transaction_scope {
public:
    db_transaction_scope();
    ~db_transaction_scope();
    db_transaction_scope(const db_transaction_scope&) = delete;
    db_transaction_scope& operator=(const db_transaction_scope&) = delete;

    // Commits the transaction this scope began; returns the code (0 when the
    // scope runs inside the caller's transaction).
    int commit();

private:
    bool owns_ = false;
};
