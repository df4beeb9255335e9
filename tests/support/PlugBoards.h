// Boards for a test: configures a simulated host from a board list (KXCX_SIM syntax) and fails
// the test with the parser's complaint when the list is not understood.
#pragma once

#include <string_view>

#include "host/SimHost.h"

void plugBoards(boardsim::SimHost& host, std::string_view boards);
