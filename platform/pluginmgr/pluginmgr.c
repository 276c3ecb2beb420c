/* Stand-in for the scene plug-in manager. Besides the merge entry point it
 * records when it is loaded (with the file it was loaded from) and unloaded,
 * so tests can see that every dlopen is matched by a dlclose. Built a second
 * time without the entry point to exercise a missing symbol. */
#define _GNU_SOURCE
#include <dlfcn.h>

#include "standin_calls.h"

static void record_load(void) __attribute__((constructor));
static void record_unload(void) __attribute__((destructor));

static void record_load(void) {
    Dl_info info;
    const char* file = NULL;
    if (dladdr((void*)&record_load, &info) != 0) file = info.dli_fname;
    standin_record("pluginmgr load", file);
}

static void record_unload(void) { standin_record("pluginmgr unload", NULL); }

#ifndef PLUGINMGR_WITHOUT_ENTRY
int orvex2_scene_plugin_merge_policy(const char* scene) {
    standin_record("orvex2_scene_plugin_merge_policy", scene);
    return standin_return_code("DEVCTL_STANDIN_MERGE_RC");
}
#endif
