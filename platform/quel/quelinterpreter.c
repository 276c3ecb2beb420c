/* Stand-in for the policy interpreter: records each call and returns the
 * code the test chose. */
#include "standin_calls.h"

int compileInitPolicy(void) {
    standin_record("compileInitPolicy", NULL);
    return standin_return_code("DEVCTL_STANDIN_COMPILE_RC");
}

int deployPolicy(void) {
    standin_record("deployPolicy", NULL);
    return standin_return_code("DEVCTL_STANDIN_DEPLOY_RC");
}
