#pragma once
// Reading and writing scene policy documents.
#include <string>
#include <string_view>

#include "error/expected.h"
#include "json/json_error.h"
#include "json/writer.h"
#include "model/policy.h"

namespace devctl {

// Reads a whole document in one pass; on error nothing partial survives.
Expected<Policy, JsonError> deserialize_policy(std::string_view text);

// Pretty form: two-space indent, declaration order of keys, no final newline.
std::string serialize_policy(const Policy& policy);
// The same text, handed to sink in pieces as it is written.
void serialize_policy(const Policy& policy, json::Writer::Sink sink);

}  // namespace devctl
