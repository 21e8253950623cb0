#pragma once
// Which register a REG|NAME operand names. Pure: no chip inside.
#include <QString>

// The record index (1..40) a register operand names, or RegMapStuff::kNotFound: a name of
// the register table (case, blanks and punctuation ignored; the part in brackets may be
// left out: «configuration_reg_1»), or an address, 0x.. or
// decimal. For a read an address is a read address; for a write a write address, or the
// read address of a writable register. An address that Remote 1 and Remote 2 share names
// the record of the channel Configuration Reg 1 selects.
int FindRegisterOperand(const QString& text, bool forWrite, bool remote2Selected);
