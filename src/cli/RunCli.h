#pragma once
// otk5530-cli: the chip from a terminal and from scripts. Returns the exit status.
int RunCli(int argc, char** argv);
