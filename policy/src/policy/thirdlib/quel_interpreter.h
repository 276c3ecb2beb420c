#pragma once
// Entry points of the policy interpreter library (libquelinterpreter.so.1),
// linked at build time. Both return 0 on success.

extern "C" {
int compileInitPolicy(void);
int deployPolicy(void);
}
