#pragma once
// Short constructors for policy values in merge tests, on top of the ones
// the rendering tests use.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "../render/render_builders.h"

namespace devctl::test {

using render_test::module;
using render_test::policy;
using render_test::var;

inline PolicyRule rule(std::optional<std::string> name, std::string object, std::vector<std::string> permission = {"r"}) {
    PolicyRule r = render_test::rule("/usr/bin/app", std::move(object), std::move(permission));
    r.name = std::move(name);
    return r;
}

inline Variable uid_var(std::string name, std::vector<int32_t> uids) {
    return var<VariableKind::Uid>(std::move(name), std::move(uids));
}

}  // namespace devctl::test
