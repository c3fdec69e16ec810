/* Writing the pixels of a bottom-up 24-bit DIB section as a BMP file; shared by the tools. */
#ifndef KOVET_TOOLS_BMPFILE_H
#define KOVET_TOOLS_BMPFILE_H

#include <windows.h>

#include <stdio.h>
#include <string.h>

/* Returns nonzero when the whole file was written. */
static int write_bmp24(const wchar_t* path, const void* bits, LONG width, LONG height) {
    const DWORD stride = ((DWORD)width * 3 + 3) & ~3u;
    const DWORD image = stride * (DWORD)height;
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    memset(&file, 0, sizeof file);
    memset(&info, 0, sizeof info);
    file.bfType = 0x4D42; /* "BM" */
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + image;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height; /* bottom-up, as the DIB section is */
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = image;

    FILE* out = _wfopen(path, L"wb");
    if (!out) return 0;
    int ok = fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&info, sizeof info, 1, out) == 1 &&
             fwrite(bits, 1, image, out) == image;
    return fclose(out) == 0 && ok;
}

/* A white bottom-up 24-bit DIB section selected into a new memory DC; NULL on failure. */
static HDC create_white_dib_dc(LONG width, LONG height, HBITMAP* bitmap, void** bits) {
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC dc = CreateCompatibleDC(NULL);
    if (!dc) return NULL;
    *bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, NULL, 0);
    if (!*bitmap) {
        DeleteDC(dc);
        return NULL;
    }
    SelectObject(dc, *bitmap);
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    return dc;
}

#endif
