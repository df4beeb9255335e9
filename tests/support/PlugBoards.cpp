#include "PlugBoards.h"

#include <gtest/gtest.h>

#include <string>

void plugBoards(boardsim::SimHost& host, std::string_view boards) {
    std::string error;
    ASSERT_TRUE(host.configure(boards, error)) << error;
}
