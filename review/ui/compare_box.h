#pragma once
// The comparison box of the graph dialog: per compared test its name, the
// three band factors, the indicative judgement, the correlation of the
// whole common range and the mean absolute difference. "Export..." writes
// the table as a CSV file through the Export Tests dialog (its CSV choice,
// Standard or European numbers).
#include "review/graph_compare.h"

#include <QDialog>

class QTableWidget;

class graph_compare_box : public QDialog {
    Q_OBJECT
public:
    graph_compare_box(QWidget* parent, s_graph_comparison comparison);
    QTableWidget* table() const { return table_; }
    // Export Tests (CSV only), the save chooser, then the file. 0 when a
    // file was written.
    int export_table();

private:
    s_graph_comparison comparison_;
    QTableWidget* table_ = nullptr;
};
