// The cause of a failed transfer in the user's words, from the platform error that the library's
// loaders return negated.
#pragma once

#include <string>

class TransferError {
public:
    // "the board was removed" (-ENODEV), "transfer timed out" (-ETIMEDOUT), ...
    static std::string cause(int result);
};
