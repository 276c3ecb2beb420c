/* The plug-in's reply: an "a{sv}" dictionary with "code" (int32), then
 * "message" (string) when given, then "data" when given. The encoders and the
 * decoder have C++ linkage (the encoder is overloaded); PluginResponse is a
 * plain C record. */
#ifndef ORVEX_PLUGIN_RESPONSE_H
#define ORVEX_PLUGIN_RESPONSE_H

#include <glib.h>
#include <stddef.h>
#include <stdint.h>

#include "plugin_export.h"

/* A decoded reply, allocated with malloc; released only by
 * free_plugin_response together with its text and its reference. */
typedef struct PluginResponse {
    int32_t code;
    char* message;  /* malloc'd copy, or null when absent or empty */
    GVariant* data; /* owned reference, or null */
} PluginResponse;

#ifdef __cplusplus

/* Each encoder returns a new floating "a{sv}" reply owned by the caller. A
 * null message leaves "message" out. */

/* A null data leaves "data" out; a floating data is taken over. */
ORVEX_PLUGIN_API GVariant* encode_plugin_response(int code, const char* message, GVariant* data);
ORVEX_PLUGIN_API GVariant* encode_plugin_response(int code, const char* message, int data);
/* The first n texts; SIZE_MAX reads up to the null terminator. */
ORVEX_PLUGIN_API GVariant* encode_plugin_response(int code, const char* message,
                                                  const char* const* texts, size_t n);
ORVEX_PLUGIN_API GVariant* encode_plugin_response(int code, const char* message);
/* Code 0 with a null message is sent with "success". */
ORVEX_PLUGIN_API GVariant* encode_plugin_response_for_code(int code, const char* message);

/* Null for a null reply, a value that is not "a{sv}" or a reply without an
 * int32 "code". "data" is what the entry's variant holds, unwrapped once more
 * when that is itself a variant. */
ORVEX_PLUGIN_API PluginResponse* decode_plugin_response(GVariant* reply);
ORVEX_PLUGIN_API void free_plugin_response(PluginResponse* response);

#endif

#endif
