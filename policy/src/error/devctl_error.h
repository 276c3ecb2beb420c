#pragma once
// The engine's own failure kinds, each with a fixed display text.
#include <optional>
#include <string>

#include "error/chained_error.h"

namespace devctl {

enum class DevctlErrorKind {
    General,
    InvalidParam,
    LoadJsonFailed,
    WriteJsonFailed,
    WritePolicyFailed,
    ModuleNotFound,
    VariableNotFound,
    ValueAreadyExists,
    PolicyPathNotFound,
    ValueNotExists,
    CStrUtf8Error,
    IoError,
    PermissionDenied,
    NotSupportQuel,
    ReadonlyFilesystem,
    CompileInitPolicy,
    SyncPolicy,
    MergePolicy,
    DlopenError,
    DlsymError,
    UnknownError,
};

// `first` and `second` hold the payload texts in declaration order
// (path/err, variable/value, method/path, or the single text in `first`).
// `cause` is the display text of the wrapped lower-level error, present
// only for CStrUtf8Error and IoError.
struct DevctlError {
    DevctlErrorKind kind = DevctlErrorKind::UnknownError;
    std::string first;
    std::string second;
    std::optional<std::string> cause;
};

DevctlError devctl_error(DevctlErrorKind kind, std::string first = {}, std::string second = {});
DevctlError devctl_io_error(std::string cause);
DevctlError devctl_cstr_utf8_error(std::string cause);

std::string display(const DevctlError& error);

// The error becomes the root of a chain: its display text, then its cause.
ChainedError to_chained(const DevctlError& error);

}  // namespace devctl
