#pragma once
// Serving the rule editor with the options of the command line, until SIGINT or SIGTERM.
#include "serve_options.hpp"

namespace talvane::cli {

// Opens the database (failing before anything listens when it cannot be opened), binds the address, prints
// the page's address and serves; returns the exit code once stopped.
int ServeEditor(const ServeOptions& options);

}  // namespace talvane::cli
