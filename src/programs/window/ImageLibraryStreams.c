/* The image libraries are linked into the window's part from Debian's static archives,
 * which are not built as position-independent code: they reach the C library's `stderr`
 * (to report a broken image) by an address relative to their own code, which a shared
 * object can only satisfy with a variable of its own. This is that variable; it holds what
 * the C library's `stderr` holds when the process starts. */
#include <stdio.h>

extern FILE _IO_2_1_stderr_;

FILE* stderr = &_IO_2_1_stderr_;
