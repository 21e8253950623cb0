#pragma once
// temps and log --format prom: the board's metrics in the text format 0.0.4, for
// node_exporter's textfile collector.
#include "cli/CliConnect.h"
#include "cli/PromMetrics.h"

#include <QString>

// The tool's one board as the metrics name it: where its adapter sits and its address.
BoardScrape CliBoard(const CliConnection& connection, int32_t address);

// Scrapes the program's chip into `board` and writes the metrics whole (WriteOutput: standard
// output, or FILE replaced by a rename). A lost link is written as otk5530_up 0 first, then
// ends the tool as every lost link does.
void WritePromSample(BoardScrape& board, const QString& path);
