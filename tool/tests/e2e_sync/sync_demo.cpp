// The demo behind scripts/demo: runs the real `sync all` over the example
// scenes inside the test sandbox (a private mount namespace, so nothing on
// the host changes) and shows what it did.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "sandbox.h"

namespace {

using namespace devctl::test;

const std::string kCallsFile = "/run/devctl-demo-calls";
const std::string kSceneDir = "/etc/orvex-scene/scene/";
const std::string kPolicyDir = "/etc/orvex-scene/policy/";

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void heading(const std::string& title) { std::cout << "\n== " << title << " ==\n"; }

// The first `limit` lines of a file (all of them when limit is 0).
void show_file(const std::string& path, size_t limit) {
    const std::string text = read_test_file(path);
    const auto lines = lines_of(text);
    std::cout << "--- " << path << " (" << text.size() << " bytes, " << lines.size() << " lines)\n";
    const size_t shown = limit == 0 ? lines.size() : std::min(limit, lines.size());
    for (size_t i = 0; i < shown; ++i) std::cout << "    " << lines[i] << "\n";
    if (shown < lines.size()) std::cout << "    ... " << lines.size() - shown << " more lines\n";
}

void prepare() {
    for (const char* name : {"vop_devctl.json", "sm_devctl.json"})
        install_test_file(std::string(DEVCTL_EXAMPLES_DIR) + "/scene/" + name, kSceneDir + name, 0644);
    ::mkdir(kPolicyDir.c_str(), 0755);
    install_test_file(DEVCTL_PLUGINMGR_PATH, "/usr/lib/x86_64-linux-gnu/liborvex_scene_pluginmgr.so.0");
    // The kernel security module reports itself active, so the rules are deployed.
    write_test_file("/sys/kernel/security/quel/status", "1");
}

}  // namespace

int main(int argc, char** argv) {
    const bool full = argc > 1 && std::string(argv[1]) == "--full";
    if (auto failure = enter_sandbox()) {
        std::cerr << "demo: " << *failure << "\n";
        return 1;
    }
    try {
        prepare();
        heading("scene documents (copied from examples/scene)");
        for (const char* name : {"vop_devctl.json", "sm_devctl.json"})
            std::cout << "    " << kSceneDir << name << " (" << read_test_file(kSceneDir + name).size() << " bytes)\n";

        LogSink log;
        RunOptions options;
        options.env = {"DEVCTL_STANDIN_CALLS=" + kCallsFile};
        heading("# orvex2-devctl-module-tool sync all");
        const ToolResult result = run_program(DEVCTL_TOOL_PATH, {"sync", "all"}, options);
        std::cout << "    exit status " << result.status << "\n";
        if (!result.out.empty()) std::cout << "    stdout: " << result.out;
        if (!result.err.empty()) std::cout << "    stderr: " << result.err;

        heading("generated rule files");
        for (const char* name : {"vop_devctl.json.policy", "sm_devctl.json.policy"}) {
            if (path_exists(kPolicyDir + name))
                show_file(kPolicyDir + name, full ? 0 : 32);
            else
                std::cout << "--- " << kPolicyDir << name << " not written\n";
        }
        if (!full) std::cout << "(scripts/demo --full prints the rule files whole)\n";

        heading("platform calls (plug-in manager, then policy interpreter)");
        if (path_exists(kCallsFile))
            for (const auto& line : lines_of(read_test_file(kCallsFile))) std::cout << "    " << line << "\n";

        heading("system log (as received on /dev/log)");
        for (const auto& raw : log.messages(SIZE_MAX, std::chrono::milliseconds(300))) std::cout << "    " << raw << "\n";
        return result.status;
    } catch (const std::exception& e) {
        std::cerr << "demo: " << e.what() << "\n";
        return 1;
    }
}
