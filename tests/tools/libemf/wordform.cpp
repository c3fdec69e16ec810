// Writes a word-processor-like form with libEMF, an outside writer of enhanced metafiles:
// the proof that the word form import reads what other programs write. Compiled and run by
// the test (word_form_proofs), which expects exactly these calls:
//   a dashed pen 2 pixels wide in RGB(0x10, 0x20, 0x30); an opaque background RGB(0xF0, 0xE0, 0xD0);
//   Rectangle(50, 60, 250, 120); a dotted pen 1 pixel wide in RGB(0xFF, 0, 0), a transparent
//   background, Rectangle(300, 60, 400, 120); Ellipse(50, 200, 150, 260);
//   MoveToEx(50, 300), LineTo(400, 300), LineTo(50, 500);
//   a bold font "Arial" of height -16; ExtTextOutW(60, 400, "Customer:").
//
// wordform OUT.emf
#include <libEMF/emf.h>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const RECT frame = {0, 0, 21590, 27940};
    HDC dc = CreateEnhMetaFileA(0, argv[1], &frame, "kovet\0word form\0");
    if (dc == 0) return 1;

    HPEN pen = CreatePen(PS_DASH, 2, RGB(0x10, 0x20, 0x30));
    SelectObject(dc, pen);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0xF0, 0xE0, 0xD0));
    Rectangle(dc, 50, 60, 250, 120);
    HPEN dotted = CreatePen(PS_DOT, 1, RGB(0xFF, 0, 0));
    SelectObject(dc, dotted);
    SetBkMode(dc, TRANSPARENT);
    Rectangle(dc, 300, 60, 400, 120);
    Ellipse(dc, 50, 200, 150, 260);
    MoveToEx(dc, 50, 300, 0);
    LineTo(dc, 400, 300);
    LineTo(dc, 50, 500);

    LOGFONTW font = {};
    font.lfHeight = -16;
    font.lfWeight = FW_BOLD;
    const char face[] = "Arial";
    for (int i = 0; face[i] != 0; ++i)
        font.lfFaceName[i] = WCHAR(face[i]);
    HFONT created = CreateFontIndirectW(&font);
    SelectObject(dc, created);
    const char text[] = "Customer:";
    WCHAR wide[sizeof text];
    for (unsigned i = 0; i < sizeof text; ++i)
        wide[i] = WCHAR(text[i]);
    ExtTextOutW(dc, 60, 400, 0, 0, wide, sizeof text - 1, 0);

    const HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    if (metafile == 0) return 1;
    DeleteEnhMetaFile(metafile);
    DeleteObject(created);
    DeleteObject(dotted);
    DeleteObject(pen);
    return 0;
}
