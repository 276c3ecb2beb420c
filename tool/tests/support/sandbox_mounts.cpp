// The private mount namespace behind enter_sandbox() and reset_sandbox().
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "sandbox.h"

namespace devctl::test {
namespace {

namespace fs = std::filesystem;

// Lives on the /run tmpfs, so it exists only inside the namespace.
constexpr const char* kScratch = "/run/.devctl-sandbox";
constexpr const char* kSecurity = "/sys/kernel/security";

struct Overlay {
    std::string target;
    std::string lower;                   // recursive bind of the real directory
    std::vector<std::string> submounts;  // relative to target, re-bound on top
    struct stat root {};                 // the real directory's owner and mode
};

struct State {
    bool entered = false;
    int generation = 0;
    std::vector<Overlay> overlays;
    std::vector<std::string> run_dirs;  // tmpfs mounts holding the log sockets
};

State& state() {
    static State s;
    return s;
}

std::string errno_text(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

void check(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(errno_text(what));
}

void mount_tmpfs(const std::string& target, const char* options) {
    check(::mount("tmpfs", target.c_str(), "tmpfs", MS_NOSUID, options) == 0,
          "mount tmpfs on " + target);
}

void bind_recursive(const std::string& source, const std::string& target) {
    check(::mount(source.c_str(), target.c_str(), nullptr, MS_BIND | MS_REC, nullptr) == 0,
          "bind " + source + " on " + target);
}

// Mount points in /proc/self/mountinfo escape blanks and the like as \ooo.
std::string unescape_mountinfo(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            out += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

// Mounts strictly below dir, relative, outermost only (a recursive bind of
// each brings the ones nested in it along).
std::vector<std::string> submounts_below(const std::string& dir) {
    std::ifstream info("/proc/self/mountinfo");
    std::vector<std::string> found;
    for (std::string line; std::getline(info, line);) {
        std::istringstream fields(line);
        std::string id, parent, device, root, mount_point;
        fields >> id >> parent >> device >> root >> mount_point;
        mount_point = unescape_mountinfo(mount_point);
        if (mount_point.size() > dir.size() && mount_point.starts_with(dir + "/")) {
            found.push_back(mount_point.substr(dir.size() + 1));
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    std::vector<std::string> outermost;
    for (const auto& rel : found) {
        const bool nested = std::any_of(outermost.begin(), outermost.end(), [&](const std::string& o) {
            return rel.starts_with(o + "/");
        });
        if (!nested) outermost.push_back(rel);
    }
    return outermost;
}

void mount_overlay(const Overlay& o, int generation) {
    const std::string base = std::string(kScratch) + "/upper/" + std::to_string(generation) +
                             o.target;
    const std::string upper = base + "/u";
    const std::string work = base + "/w";
    fs::create_directories(upper);
    fs::create_directories(work);
    // The overlay's root takes the upper directory's owner and mode.
    check(::chmod(upper.c_str(), o.root.st_mode & 07777) == 0, "chmod " + upper);
    check(::chown(upper.c_str(), o.root.st_uid, o.root.st_gid) == 0, "chown " + upper);
    const std::string options = "lowerdir=" + o.lower + ",upperdir=" + upper + ",workdir=" + work;
    check(::mount("overlay", o.target.c_str(), "overlay", 0, options.c_str()) == 0,
          "mount overlay on " + o.target);
    for (const auto& rel : o.submounts) bind_recursive(o.lower + "/" + rel, o.target + "/" + rel);
}

Overlay make_overlay(const std::string& target, size_t index) {
    Overlay o;
    o.target = target;
    o.lower = std::string(kScratch) + "/lower/" + std::to_string(index);
    check(::stat(target.c_str(), &o.root) == 0, "stat " + target);
    fs::create_directories(o.lower);
    bind_recursive(target, o.lower);
    o.submounts = submounts_below(o.lower);
    return o;
}

bool same_directory(const char* a, const char* b) {
    struct stat sa {}, sb {};
    return ::stat(a, &sa) == 0 && ::stat(b, &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

void make_orvex_scene_dir() {
    fs::remove_all("/etc/orvex-scene");
    check(::mkdir("/etc/orvex-scene", 0755) == 0 || errno == EEXIST, "mkdir /etc/orvex-scene");
    check(::chmod("/etc/orvex-scene", 0755) == 0, "chmod /etc/orvex-scene");
}

void build() {
    State& s = state();
    check(::unshare(CLONE_NEWNS) == 0, "unshare(CLONE_NEWNS)");
    check(::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0, "make / private");

    s.run_dirs.push_back("/run");
    if (!same_directory("/var/run", "/run")) s.run_dirs.push_back("/var/run");
    for (const auto& dir : s.run_dirs) mount_tmpfs(dir, "mode=0755,size=512m");
    check(::mkdir(kScratch, 0700) == 0, std::string("mkdir ") + kScratch);

    std::vector<std::string> targets = {"/etc", "/usr/lib/x86_64-linux-gnu", "/dev"};
    if (fs::is_directory("/usr/lib64")) targets.push_back("/usr/lib64");
    for (size_t i = 0; i < targets.size(); ++i) s.overlays.push_back(make_overlay(targets[i], i));
    for (const auto& o : s.overlays) mount_overlay(o, s.generation);
    mount_tmpfs(kSecurity, "mode=0755,size=16m");
    make_orvex_scene_dir();
    // Only a complete sandbox lets the helpers write: a half-built one would
    // leave some of the host's directories exposed.
    s.entered = true;
}

}  // namespace

std::optional<std::string> enter_sandbox() {
    if (state().entered) return std::nullopt;
    if (::geteuid() != 0) return "the sandbox needs root (a private mount namespace with overlays)";
    try {
        build();
    } catch (const std::exception& e) {
        return std::string("cannot build the sandbox: ") + e.what();
    }
    return std::nullopt;
}

bool in_sandbox() { return state().entered; }

void reset_sandbox() {
    State& s = state();
    if (!s.entered) throw std::runtime_error("reset_sandbox() outside the sandbox");
    const int old = s.generation++;
    for (const auto& o : s.overlays) {
        check(::umount2(o.target.c_str(), MNT_DETACH) == 0, "unmount " + o.target);
        mount_overlay(o, s.generation);
    }
    std::error_code ignored;
    fs::remove_all(std::string(kScratch) + "/upper/" + std::to_string(old), ignored);
    check(::umount2(kSecurity, MNT_DETACH) == 0, std::string("unmount ") + kSecurity);
    mount_tmpfs(kSecurity, "mode=0755,size=16m");
    for (const auto& dir : s.run_dirs) {
        fs::remove(dir + "/syslog", ignored);
        fs::remove(dir + "/log", ignored);
    }
    fs::remove("/run/orvex2-devctl-module-tool.lock", ignored);
    make_orvex_scene_dir();
}

}  // namespace devctl::test
