// The plug-in's result codes: 0 success, -1 to -17 failure classes, every
// other code "unknow error".
#pragma once

// The message of a result code.
const char* plugin_error_message(int code);
