#pragma once
// The error value of every failing operation of the engine and the tool:
// an outermost message and the chain of causes beneath it.
#include <string>
#include <string_view>
#include <vector>

#include "error/expected.h"

namespace devctl {

struct ChainedError {
    // Outermost message first, the root error last. Never empty.
    std::vector<std::string> messages;
};

template <class T>
using Result = Expected<T, ChainedError>;
using Status = Expected<void, ChainedError>;

// A chain of one message: the root error.
ChainedError make_error(std::string message);

// Wraps an error in one more context message on the outside.
ChainedError with_context(ChainedError error, std::string message);

// The C library's text for an errno value plus " (os error N)".
std::string system_error_text(int errno_value);
ChainedError system_error(int errno_value);

// All messages, outermost first, joined by ": ".
std::string chain_form(const ChainedError& error);

// Outermost message, then "\n\nCaused by:" and the causes, one per line;
// numbered when there is more than one.
std::string report_form(const ChainedError& error);

inline Unexpected<ChainedError> fail(ChainedError error) {
    return Unexpected<ChainedError>(std::move(error));
}

}  // namespace devctl
