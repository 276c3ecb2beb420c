/* Marks the declarations that the plug-in library exports; everything else
 * is built with hidden visibility. Usable from C and C++. */
#ifndef ORVEX_PLUGIN_EXPORT_H
#define ORVEX_PLUGIN_EXPORT_H

#if defined(__GNUC__) || defined(__clang__)
#define ORVEX_PLUGIN_API __attribute__((visibility("default")))
#else
#define ORVEX_PLUGIN_API
#endif

#endif
