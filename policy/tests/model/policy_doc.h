#pragma once
// Small documents for the model tests.
#include <string>
#include <string_view>

#include "model/policy_json.h"

namespace devctl::test {

// A complete policy whose one module "m" holds the given variables list
// text; the variable list starts on line 2.
std::string doc_with_variables(std::string_view variables);

// A policy with one module whose body members are given (without braces).
std::string doc_with_module(std::string_view module_body);

// A policy whose module "m" has the given JSON value (object or array form).
std::string policy_with_module_value(std::string_view module);

// The module body of doc_with_module with one extra member spliced in.
std::string module_body(std::string_view extra = "");

// "ok" or the error text with its category as " [e]", " [s]" or " [d]".
std::string outcome(std::string_view text);

}  // namespace devctl::test
