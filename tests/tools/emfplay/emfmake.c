/* emfmake OUT.emf [DIRECT.bmp]
 *
 * Records a small test picture (400 x 300 pixels of the reference device) as an enhanced
 * metafile with the platform's own gdi32, so that the parser and the player are tested on
 * a metafile that an outside producer wrote. With DIRECT.bmp the same calls are also drawn
 * straight onto a white 24-bit bitmap: what GDI itself makes of them, without a metafile.
 *
 * The picture, by position:
 *   top row      (10,10)-(110,80) rectangle, black pen, solid light-blue brush
 *                (130,10)-(250,80) round rectangle, red pen 3 wide, green forward-diagonal hatch,
 *                    transparent background
 *                (270,10)-(390,80) ellipse, blue pen, purple diagonal-cross hatch on an opaque
 *                    yellow background
 *   line y = 100 from x = 10 to 390, blue dashed pen
 *   middle       triangle (20,120) (110,120) (65,200), black pen, orange fill
 *                Bezier (130,200) (170,110) (210,290) (250,120), dark green pen 2 wide
 *                "Kovet EMF" at (270,110), Arial 16 pixels, black
 *                "Turned" at (370,290), Arial bold 14 pixels, turned 90 degrees, maroon
 *   bottom left  a 4 x 4 bitmap (red, green / blue, black quadrants, as seen) stretched
 *                to (20,220)-(84,284)
 */

#include "bmpfile.h"

enum { kWidth = 400, kHeight = 300 };

static HFONT make_font(int height, int weight, int escapement) {
    LOGFONTW lf;
    memset(&lf, 0, sizeof lf);
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfEscapement = escapement;
    lf.lfOrientation = escapement;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    wcscpy(lf.lfFaceName, L"Arial");
    return CreateFontIndirectW(&lf);
}

static void draw_shapes(HDC dc) {
    HPEN black = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HBRUSH lightBlue = CreateSolidBrush(RGB(0x99, 0xCC, 0xFF));
    HGDIOBJ oldPen = SelectObject(dc, black);
    HGDIOBJ oldBrush = SelectObject(dc, lightBlue);
    Rectangle(dc, 10, 10, 110, 80);

    HPEN red3 = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
    HBRUSH fdiagonal = CreateHatchBrush(HS_FDIAGONAL, RGB(0, 128, 0));
    SelectObject(dc, red3);
    SelectObject(dc, fdiagonal);
    SetBkMode(dc, TRANSPARENT);
    RoundRect(dc, 130, 10, 250, 80, 24, 24);

    HPEN blue = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HBRUSH diagcross = CreateHatchBrush(HS_DIAGCROSS, RGB(128, 0, 128));
    SelectObject(dc, blue);
    SelectObject(dc, diagcross);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(255, 255, 0));
    Ellipse(dc, 270, 10, 390, 80);

    HPEN dashed = CreatePen(PS_DASH, 1, RGB(0, 0, 255));
    SelectObject(dc, dashed);
    SetBkMode(dc, TRANSPARENT);
    MoveToEx(dc, 10, 100, NULL);
    LineTo(dc, 390, 100);

    HBRUSH orange = CreateSolidBrush(RGB(255, 128, 0));
    SelectObject(dc, black);
    SelectObject(dc, orange);
    static const POINT triangle[] = {{20, 120}, {110, 120}, {65, 200}};
    Polygon(dc, triangle, 3);

    HPEN green2 = CreatePen(PS_SOLID, 2, RGB(0, 100, 0));
    SelectObject(dc, green2);
    static const POINT curve[] = {{130, 200}, {170, 110}, {210, 290}, {250, 120}};
    PolyBezier(dc, curve, 4);

    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(black);
    DeleteObject(red3);
    DeleteObject(blue);
    DeleteObject(dashed);
    DeleteObject(green2);
    DeleteObject(lightBlue);
    DeleteObject(fdiagonal);
    DeleteObject(diagcross);
    DeleteObject(orange);
}

static void draw_text(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);

    HFONT plain = make_font(-16, FW_NORMAL, 0);
    HGDIOBJ oldFont = SelectObject(dc, plain);
    SetTextColor(dc, RGB(0, 0, 0));
    static const wchar_t title[] = L"Kovet EMF";
    ExtTextOutW(dc, 270, 110, 0, NULL, title, (UINT)wcslen(title), NULL);

    HFONT turned = make_font(-14, FW_BOLD, 900);
    SelectObject(dc, turned);
    SetTextColor(dc, RGB(128, 0, 0));
    static const wchar_t up[] = L"Turned";
    ExtTextOutW(dc, 370, 290, 0, NULL, up, (UINT)wcslen(up), NULL);

    SelectObject(dc, oldFont);
    DeleteObject(plain);
    DeleteObject(turned);
}

static void draw_bitmap(HDC dc) {
    /* Bottom-up rows: the first two rows stored are the bottom half (blue, black). */
    /* Blue, green, red: the order of a 24-bit DIB. */
    static const BYTE red[3] = {0, 0, 255}, green[3] = {0, 255, 0}, blue[3] = {255, 0, 0}, black[3] = {0, 0, 0};
    BYTE pixels[4 * 12];
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            const BYTE* c = row < 2 ? (col < 2 ? blue : black) : (col < 2 ? red : green);
            memcpy(pixels + row * 12 + col * 3, c, 3);
        }
    }
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 20, 220, 64, 64, 0, 0, 4, 4, pixels, &info, DIB_RGB_COLORS, SRCCOPY);
}

static void draw_picture(HDC dc) {
    draw_shapes(dc);
    draw_text(dc);
    draw_bitmap(dc);
}

static int record(const wchar_t* path) {
    /* The frame, in hundredths of a millimetre, covers exactly the picture's pixels of the
     * reference device (the screen), so that a player maps one pixel to one pixel. */
    HDC screen = GetDC(NULL);
    const double xUnits = 100.0 * GetDeviceCaps(screen, HORZSIZE) / GetDeviceCaps(screen, HORZRES);
    const double yUnits = 100.0 * GetDeviceCaps(screen, VERTSIZE) / GetDeviceCaps(screen, VERTRES);
    ReleaseDC(NULL, screen);
    RECT frame = {0, 0, (LONG)(kWidth * xUnits + 0.5), (LONG)(kHeight * yUnits + 0.5)};

    HDC dc = CreateEnhMetaFileW(NULL, path, &frame, L"emfmake\0Kovet test picture\0");
    if (!dc) return 0;
    draw_picture(dc);
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    if (!emf) return 0;
    DeleteEnhMetaFile(emf);
    return 1;
}

static int draw_direct(const wchar_t* path) {
    HBITMAP dib;
    void* bits;
    HDC dc = create_white_dib_dc(kWidth, kHeight, &dib, &bits);
    if (!dc) return 0;
    draw_picture(dc);
    GdiFlush();
    int written = write_bmp24(path, bits, kWidth, kHeight);
    DeleteDC(dc);
    DeleteObject(dib);
    return written;
}

int wmain(int argc, wchar_t** argv) {
    if (argc != 2 && argc != 3) {
        fprintf(stderr, "usage: emfmake OUT.emf [DIRECT.bmp]\n");
        return 2;
    }
    if (!record(argv[1])) {
        fprintf(stderr, "emfmake: cannot record the metafile (error %lu)\n", (unsigned long)GetLastError());
        return 1;
    }
    if (argc == 3 && !draw_direct(argv[2])) {
        fprintf(stderr, "emfmake: cannot draw the bitmap (error %lu)\n", (unsigned long)GetLastError());
        return 1;
    }
    return 0;
}
