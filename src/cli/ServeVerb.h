#pragma once
// `serve`: the boards as a Prometheus exporter until SIGINT or SIGTERM.
#include "cli/CliArgs.h"

// Returns the exit status; a refused board or address throws CliError before anything is opened.
int ServeVerb(const CliArgs& args);
