/* The demo product: a tiny program that greets whoever runs it. */
#include <stdio.h>
#include <stdlib.h>

int main(void) {
    const char* user = getenv("USER");
    printf("Hello%s%s, from Demo 1.0!\n", user ? ", " : "", user ? user : "");
    return 0;
}
