// How merge saves its result: under a file-size limit, through a temporary
// file no looser than the scene, into a device the scene links to, and one
// run at a time.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <future>
#include <set>
#include <sstream>

#include "merge_e2e_fixture.h"
#include "test_device.h"

namespace devctl::test {
namespace {

const std::string kBase = "/etc/orvex-scene/base.json";
const std::string kAddon = kAddonDir + "a.json";

// Entry names; a directory that vanishes meanwhile (a process's /proc entry)
// just ends the list.
std::set<std::string> names_in(const std::string& dir) {
    std::set<std::string> names;
    DIR* stream = ::opendir(dir.c_str());
    if (stream == nullptr) return names;
    while (const dirent* entry = ::readdir(stream)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.insert(name);
    }
    ::closedir(stream);
    return names;
}

// `ulimit -f 2` in the shell that starts the tool: the merged document does
// not fit, the tool is not killed for it, and the scene stays as it was.
TEST_F(MergeE2eTest, FileSizeLimitFailsTheSaveAndKeepsTheScene) {
    install_test_file(std::string(DEVCTL_EXAMPLES_DIR) + "/scene/vop_devctl.json", kVopScene, 0600);
    const std::string before = read_test_file(kVopScene);
    std::vector<std::string> args = {"-c", R"(ulimit -f 2 && exec "$0" "$@")", DEVCTL_TOOL_PATH};
    for (std::string& arg : merge_args(kVopScene, {kVopScene}, kVopScene)) args.push_back(std::move(arg));
    LogSink sink;
    const ToolResult result = run_program("/bin/sh", args);
    const std::string error = "File too large (os error 27)";
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "failed to save merged policy: " + error + "\n");
    const auto messages = sink.messages(2);
    ASSERT_EQ(messages.size(), 2u);
    const auto report = parse_log_line(messages[1]);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->text, "failed to run command: failed to save merged policy\n\nCaused by:\n    " + error);
    EXPECT_EQ(read_test_file(kVopScene), before);
    EXPECT_EQ(file_mode(kVopScene), 0600u);
    EXPECT_EQ(names_in(kSceneDir), (std::set<std::string>{"vop_devctl.json"}));
}

// A scene linked to a device gets the merged document written into the
// device, which stays the device it was.
TEST_F(MergeE2eTest, SceneLinkedToADeviceIsWrittenIntoIt) {
    write_test_file(kBase, policy_json("base", ""));
    write_test_file(kAddon, policy_json("a", ""));
    make_test_device(0640, 65534);
    ASSERT_EQ(::symlink(kTestDevice.c_str(), kSmScene.c_str()), 0);
    const MergeRun run = run_merge(kBase, {kAddon}, kSmScene, 1);
    EXPECT_EQ(run.result.status, 0) << run.result.err;
    EXPECT_EQ(run.result.err, "");
    EXPECT_TRUE(is_test_device(0640, 65534));
    EXPECT_TRUE(std::filesystem::is_symlink(kSmScene));
    EXPECT_EQ(names_in(kSceneDir), (std::set<std::string>{"sm_devctl.json"}));
}

// A base whose merged form takes a while to write: `strings` paths of
// `length` bytes each in one variable.
std::string large_policy(size_t strings, size_t length) {
    std::string list;
    for (size_t i = 0; i < strings; ++i) {
        if (i > 0) list += ", ";
        list += '"' + std::to_string(i) + std::string(length, 'p') + '"';
    }
    const std::string variable = R"({"name": "p", "value": {"type": "path", "value": [)" + list + "]}}";
    return policy_json("large", R"("m": )" + module_json("m", variable));
}

// The tool started by this process, once it runs the tool's program; 0 before.
pid_t tool_child() {
    const std::string tool = std::filesystem::canonical(DEVCTL_TOOL_PATH);
    for (const std::string& name : names_in("/proc")) {
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::error_code gone;
        if (std::filesystem::read_symlink("/proc/" + name + "/exe", gone) != tool) continue;
        std::ifstream stat("/proc/" + name + "/stat");
        std::string line;
        std::getline(stat, line);
        const size_t end_of_name = line.rfind(") ");
        if (end_of_name == std::string::npos) continue;
        std::istringstream fields(line.substr(end_of_name + 2));
        char state = 0;
        pid_t parent = 0;
        fields >> state >> parent;
        if (parent == ::getpid()) return std::stoi(name);
    }
    return 0;
}

// Permission bits of every temporary file of the tool seen right now: named
// ones in the scene directory, and unnamed ones among its open files (they
// show as "/etc/orvex-scene/scene/#INODE (deleted)").
std::vector<mode_t> temporary_modes(pid_t pid) {
    std::vector<mode_t> modes;
    struct stat st {};
    for (const std::string& name : names_in(kSceneDir)) {
        if (name != "vop_devctl.json" && ::lstat((kSceneDir + "/" + name).c_str(), &st) == 0) {
            modes.push_back(st.st_mode & 07777);
        }
    }
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd/";
    for (const std::string& fd : names_in(fds)) {
        std::error_code gone;
        const std::string target = std::filesystem::read_symlink(fds + fd, gone);
        if (target.starts_with(kSceneDir + "/") && ::stat((fds + fd).c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            modes.push_back(st.st_mode & 07777);
        }
    }
    return modes;
}

// While a large merge is written over a 0600 scene, whatever temporary file
// exists is readable by no more users than the scene itself. Writing 20 MB
// gives the watcher many looks; a busy machine gets a few more runs.
TEST_F(MergeE2eTest, TemporaryFileIsNoLooserThanTheSceneWhileWritten) {
    write_test_file(kBase, large_policy(4000, 5000));
    write_test_file(kAddon, policy_json("a", ""));
    size_t sightings = 0;
    std::set<mode_t> loose;
    for (int attempt = 0; attempt < 5 && sightings == 0; ++attempt) {
        write_test_file(kVopScene, "OLD", 0600);
        auto run = std::async(std::launch::async, [] { return run_merge(kBase, {kAddon}, kVopScene, 1); });
        pid_t pid = 0;
        while (run.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            if (pid == 0) pid = tool_child();
            if (pid == 0) continue;
            for (mode_t mode : temporary_modes(pid)) {
                ++sightings;
                if ((mode & 077) != 0) loose.insert(mode);
            }
        }
        EXPECT_EQ(run.get().result.status, 0);
        EXPECT_EQ(file_mode(kVopScene), 0600u);
    }
    EXPECT_GT(sightings, 0u) << "the temporary file was never seen";
    EXPECT_TRUE(loose.empty()) << std::oct << "looser mode seen, e.g. " << *loose.begin();
}

// A merge waits for the run lock before it reads anything, so two merges
// onto one scene cannot lose each other's add-on.
TEST_F(MergeE2eTest, WaitsForTheRunLock) {
    write_test_file(kBase, policy_json("base", ""));
    write_test_file(kAddon, policy_json("a", ""));
    write_test_file(kVopScene, "OLD", 0600);
    HeldRunLock held;
    auto run = std::async(std::launch::async, [] { return run_merge(kBase, {kAddon}, kVopScene, 1); });
    EXPECT_EQ(run.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout);
    EXPECT_EQ(read_test_file(kVopScene), "OLD");
    held.release();
    EXPECT_EQ(run.get().result.status, 0);
    EXPECT_EQ(read_test_file(kVopScene).substr(0, 1), "{");
}

}  // namespace
}  // namespace devctl::test
