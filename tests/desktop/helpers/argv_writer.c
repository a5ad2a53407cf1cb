/* A program for the Shell tests: writes its process id and its arguments, one per line, to the
 * file named by its first argument. */
#include <stdio.h>
#include <unistd.h>

int main(int argc, char **argv) {
    if (argc < 2) return 2;
    FILE *out = fopen(argv[1], "w");
    if (out == NULL) return 1;
    fprintf(out, "%ld\n", (long)getpid());
    for (int i = 2; i < argc; ++i)
        fprintf(out, "[%s]\n", argv[i]);
    return fclose(out) == 0 ? 0 : 1;
}
