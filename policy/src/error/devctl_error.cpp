#include "error/devctl_error.h"

namespace devctl {

DevctlError devctl_error(DevctlErrorKind kind, std::string first, std::string second) {
    return DevctlError{kind, std::move(first), std::move(second), std::nullopt};
}

DevctlError devctl_io_error(std::string cause) {
    return DevctlError{DevctlErrorKind::IoError, {}, {}, std::move(cause)};
}

DevctlError devctl_cstr_utf8_error(std::string cause) {
    return DevctlError{DevctlErrorKind::CStrUtf8Error, {}, {}, std::move(cause)};
}

std::string display(const DevctlError& e) {
    using K = DevctlErrorKind;
    switch (e.kind) {
        case K::General: return "Error: " + e.first;
        case K::InvalidParam: return "invalid parameter " + e.first;
        case K::LoadJsonFailed: return "failed to load json from " + e.first + ": " + e.second;
        case K::WriteJsonFailed: return "failed to write json to " + e.first + ": " + e.second;
        case K::WritePolicyFailed: return "failed to write policy to " + e.first + ": " + e.second;
        case K::ModuleNotFound: return "Module " + e.first + " not found";
        case K::VariableNotFound: return "Variable " + e.first + " not found";
        // The display names the value first, the reverse of declaration order.
        case K::ValueAreadyExists: return "value " + e.second + " already exists in " + e.first;
        case K::PolicyPathNotFound: return "Policy path " + e.first + " not found";
        case K::ValueNotExists: return "value " + e.second + " not exists in " + e.first;
        case K::CStrUtf8Error: return "invalid utf-8 cstr";
        case K::IoError: return "io error";
        case K::PermissionDenied: return "not authorized, permission denied";
        case K::NotSupportQuel: return "quel is disable or not support quel";
        case K::ReadonlyFilesystem: return "readonly filesystem";
        case K::CompileInitPolicy: return "failed to compile policy";
        case K::SyncPolicy: return "failed to sync policy";
        case K::MergePolicy: return "failed to merge policy";
        case K::DlopenError: return "failed to dlopen " + e.first;
        case K::DlsymError: return "failed to dlsym " + e.first + " from " + e.second;
        case K::UnknownError: return "unknown error";
    }
    return "unknown error";
}

ChainedError to_chained(const DevctlError& error) {
    ChainedError chained = make_error(display(error));
    if (error.cause) chained.messages.push_back(*error.cause);
    return chained;
}

}  // namespace devctl
