/* The bounded string copy that the framework's host process provides to the
 * plug-ins it loads. Only the behaviour the plug-in relies on: at most count
 * bytes are copied and dest always ends with a NUL within destsz. */
#include <errno.h>
#include <string.h>

int strncpy_s(char* dest, size_t destsz, const char* src, size_t count)
{
    if (dest == NULL || destsz == 0) {
        return EINVAL;
    }
    if (src == NULL) {
        dest[0] = '\0';
        return EINVAL;
    }
    size_t n = strnlen(src, count);
    int result = 0;
    if (n >= destsz) {
        n = destsz - 1;
        result = ERANGE;
    }
    memcpy(dest, src, n);
    dest[n] = '\0';
    return result;
}
