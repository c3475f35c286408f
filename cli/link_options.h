#pragma once
// The connection options of tarvelo2-cli: --lan HOST, --port N, --serial
// PATH, --usb PATH, --baud N and --timeout MS fill the process's connection
// record before a command runs.

// Opens the link and sets the --timeout read time-out. Returns 0, or -1
// after telling the user why the link could not be opened.
int cli_link_open();
