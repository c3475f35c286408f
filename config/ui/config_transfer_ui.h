#pragma once
// The whole-configuration transfers of READ HXM and SET UP HXM, run off the
// window thread in the exchange dialog.

#include "base/exchange_job.h"

class QWidget;

enum class config_transfer_kind { read, write };

// Reads the instrument's configuration into the current model, or writes
// the model to it. A cancelled transfer leaves the model as it was.
exchange_outcome config_transfer(QWidget* owner, config_transfer_kind kind);
