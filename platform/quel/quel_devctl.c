/* Stand-in for the interpreter's device-control companion library. The tool
 * links it but calls nothing in it; it only has to exist. */
int quel_devctl_standin_present(void) { return 1; }
