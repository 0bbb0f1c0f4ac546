/* Expands files with the system's own LZ functions (LZOpenFileA, LZSeek, LZRead), the outside
 * reading of the compress/expand format that the project's compressed files are checked against
 * under Wine: lz_expand COMPRESSED OUTPUT [COMPRESSED OUTPUT ...]. Each output
 * gets the expanded bytes; the size LZSeek gives must be the number of bytes LZRead hands out.
 * Exit code 0 when every file expanded, 1 otherwise (the reason on the standard error). */
#include <windows.h>
#include <lzexpand.h>
#include <stdio.h>

static int expand(const char* compressed, const char* output) {
    OFSTRUCT info;
    INT handle = LZOpenFileA((LPSTR)compressed, &info, OF_READ);
    if (handle < 0) {
        fprintf(stderr, "%s: LZOpenFileA failed (%d)\n", compressed, handle);
        return 0;
    }
    LONG size = LZSeek(handle, 0, 2);
    LZSeek(handle, 0, 0);
    FILE* out = fopen(output, "wb");
    if (!out) {
        fprintf(stderr, "%s: cannot be created\n", output);
        LZClose(handle);
        return 0;
    }
    static char buffer[65535];
    LONG total = 0;
    INT got;
    while ((got = LZRead(handle, buffer, sizeof buffer)) > 0) {
        fwrite(buffer, 1, (size_t)got, out);
        total += got;
    }
    fclose(out);
    LZClose(handle);
    if (got < 0) {
        fprintf(stderr, "%s: LZRead failed (%d)\n", compressed, got);
        return 0;
    }
    if (total != size) {
        fprintf(stderr, "%s: LZSeek gave %ld bytes, LZRead %ld\n", compressed, (long)size, (long)total);
        return 0;
    }
    return 1;
}

int main(int argc, char** argv) {
    int ok = 1;
    for (int i = 1; i + 1 < argc; i += 2) ok &= expand(argv[i], argv[i + 1]);
    return ok && argc > 1 ? 0 : 1;
}
