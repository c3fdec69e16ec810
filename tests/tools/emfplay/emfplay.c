/* emfplay IN.emf OUT.bmp WIDTH HEIGHT
 *
 * Plays an enhanced metafile with the platform's own gdi32 onto a white 24-bit DIB section
 * of WIDTH x HEIGHT, the picture's frame covering (0, 0, WIDTH, HEIGHT), and writes the
 * result as a 24-bit BMP. Built with MinGW and run under Wine, it shows how a program that
 * knows nothing of ours reads the metafiles we write.
 */

#include "bmpfile.h"

#include <stdlib.h>

static int fail(const char* what) {
    fprintf(stderr, "emfplay: %s (error %lu)\n", what, (unsigned long)GetLastError());
    return 1;
}

static int parse_size(const wchar_t* text, LONG* out) {
    wchar_t* end = NULL;
    long value = wcstol(text, &end, 10);
    if (end == text || *end != L'\0' || value <= 0 || value > 32767) return 0;
    *out = (LONG)value;
    return 1;
}

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: emfplay IN.emf OUT.bmp WIDTH HEIGHT\n");
        return 2;
    }
    LONG width, height;
    if (!parse_size(argv[3], &width)) return fail("bad WIDTH");
    if (!parse_size(argv[4], &height)) return fail("bad HEIGHT");

    HENHMETAFILE emf = GetEnhMetaFileW(argv[1]);
    if (!emf) return fail("cannot read the metafile");

    HBITMAP dib;
    void* bits;
    HDC dc = create_white_dib_dc(width, height, &dib, &bits);
    if (!dc) return fail("cannot create the bitmap");

    RECT all = {0, 0, width, height};
    /* A record GDI cannot play makes the call return FALSE, yet the rest is drawn. */
    BOOL played = PlayEnhMetaFile(dc, emf, &all);
    GdiFlush();
    if (!played) fprintf(stderr, "emfplay: PlayEnhMetaFile reported a failed record\n");

    int written = write_bmp24(argv[2], bits, width, height);
    DeleteDC(dc);
    DeleteObject(dib);
    DeleteEnhMetaFile(emf);
    if (!written) return fail("cannot write the bitmap");
    return played ? 0 : 3;
}
