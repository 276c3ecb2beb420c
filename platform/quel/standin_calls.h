/* Shared by the platform stand-ins: tests steer them through the
 * environment. DEVCTL_STANDIN_CALLS names a file that receives one line per
 * call; with DEVCTL_STANDIN_STDERR set the line also goes to standard error,
 * where it is ordered exactly against the caller's own output. With
 * DEVCTL_STANDIN_PRINT set, each call prints its text through stdio to
 * standard output, without a line feed, so it waits in the stdio buffer as
 * a library's chatter would. A return-code variable holds the integer a
 * call returns (0 when unset or not a number). */
#ifndef DEVCTL_STANDIN_CALLS_H
#define DEVCTL_STANDIN_CALLS_H

#include <stdio.h>
#include <stdlib.h>

static inline void standin_write(FILE* out, const char* call, const char* argument) {
    if (argument != NULL)
        fprintf(out, "%s %s\n", call, argument);
    else
        fprintf(out, "%s\n", call);
}

static inline void standin_record(const char* call, const char* argument) {
    const char* text = getenv("DEVCTL_STANDIN_PRINT");
    if (text != NULL) fputs(text, stdout);
    if (getenv("DEVCTL_STANDIN_STDERR") != NULL) standin_write(stderr, call, argument);
    const char* file = getenv("DEVCTL_STANDIN_CALLS");
    if (file == NULL || *file == '\0') return;
    FILE* out = fopen(file, "a");
    if (out == NULL) return;
    standin_write(out, call, argument);
    fclose(out);
}

static inline int standin_return_code(const char* variable) {
    const char* text = getenv(variable);
    return text == NULL ? 0 : atoi(text);
}

#endif
