// main() of every end-to-end test: enter the sandbox first, then GoogleTest.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "sandbox.h"

namespace {

// Without the sandbox no test may run: they would change the host.
class SandboxMissing : public testing::Environment {
public:
    explicit SandboxMissing(std::string reason) : reason_(std::move(reason)) {}
    void SetUp() override {
        const char* ci = std::getenv("CI");
        if (ci != nullptr && std::string(ci) == "true") FAIL() << "sandbox required under CI: " << reason_;
        GTEST_SKIP() << "end-to-end tests skipped: " << reason_;
    }

private:
    std::string reason_;
};

}  // namespace

int main(int argc, char** argv) {
    const auto failure = devctl::test::enter_sandbox();
    testing::InitGoogleTest(&argc, argv);
    if (failure) testing::AddGlobalTestEnvironment(new SandboxMissing(*failure));
    return RUN_ALL_TESTS();
}
