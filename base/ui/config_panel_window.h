#pragma once
// What the main window asks of the configuration panel (the panel's own
// subsystem registers the real one as the "QXTarvelo2ConfigWClass" window).

#include "base/ui/table_window.h"

class config_panel_window : public table_window {
    Q_OBJECT
public:
    using table_window::table_window;
    // A connection identified an instrument: make its model current.
    virtual void connection_changed() = 0;
    // READ HXM: read the whole configuration, then show the page again.
    virtual void read_instrument() = 0;
    // SET UP HXM: write the whole configuration.
    virtual void write_instrument() = 0;
    // Shows the remembered page again from the model.
    virtual void rebuild_page() = 0;
};
