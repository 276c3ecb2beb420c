#pragma once
// The architecture this build targets, as the platform names it in log lines
// and in its multiarch library directory. Fixed at build time.

namespace devctl {

#if defined(__x86_64__)
inline constexpr const char* kTargetArch = "x86_64";
#elif defined(__aarch64__)
inline constexpr const char* kTargetArch = "aarch64";
#elif defined(__loongarch64)
inline constexpr const char* kTargetArch = "loongarch64";
#elif defined(__riscv) && __riscv_xlen == 64
inline constexpr const char* kTargetArch = "riscv64";
#elif defined(__mips64)
inline constexpr const char* kTargetArch = "mips64";
#else
#error "unsupported target architecture"
#endif

}  // namespace devctl
