// Writes the sample forms: invoice.kvt, an invoice as a small business would print it,
// and small.kvt, a few objects of every type for tests and quick looks.
//   kovet-make-samples OUTPUT-FOLDER
// The files in this folder are made by this program; rerun it after changing it.

#include "document/KVTFile.h"
#include "storage/Text1252.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace kovet;

// Colours are stored as $00BBGGRR.
constexpr std::uint32_t Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return std::uint32_t(r) | std::uint32_t(g) << 8 | std::uint32_t(b) << 16;
}
constexpr std::uint32_t kBlack = Rgb(0, 0, 0);
constexpr std::uint32_t kWhite = Rgb(255, 255, 255);
constexpr std::uint32_t kNavy = Rgb(0x1F, 0x3A, 0x5F);
constexpr std::uint32_t kAccent = Rgb(0xE0, 0x7B, 0x28);
constexpr std::uint32_t kPaleGrey = Rgb(0xF0, 0xF0, 0xF0);
constexpr std::uint32_t kSilver = Rgb(0xC0, 0xC0, 0xC0);
constexpr std::uint32_t kGrey = Rgb(0x80, 0x80, 0x80);
constexpr std::uint32_t kClWindow = 0x80000005; // the system's window background colour

constexpr std::uint8_t kLeft = 0, kRight = 1, kCentred = 2, kJustified = 3;

// Page pixels; stored as the records' 16-bit fields.
struct Box {
    int left, top, width, height;
};

struct Pen {
    std::uint8_t style = psSolid;
    std::uint8_t thickness = 1;
    std::uint32_t color = kBlack;
};

struct Fill {
    std::uint8_t style = fsClear;
    std::uint32_t color = kWhite;
};

struct Font {
    std::string_view name = "Arial";
    std::uint8_t size = 10;
    std::uint8_t style = 0;
    std::uint32_t color = kBlack;
};

// The logical-font height the font dialog gives a point size on a 96 dpi screen.
std::int16_t FontHeightFor(std::uint8_t points) {
    return std::int16_t(-((points * 96 + 36) / 72));
}

// A text box one line high for the font.
int LineHeightFor(const Font& font) {
    return -FontHeightFor(font.size) * 23 / 20 + 1;
}

void SetGeometry(Bytes rec, Box box) {
    ObjectRec::Left.set(rec, std::int16_t(box.left));
    ObjectRec::Top.set(rec, std::int16_t(box.top));
    ObjectRec::Width.set(rec, std::int16_t(box.width));
    ObjectRec::Height.set(rec, std::int16_t(box.height));
}

void SetFont(Bytes rec, const Font& font) {
    FontRec::FontStyle.set(rec, font.style);
    FontRec::FontSize.set(rec, font.size);
    FontRec::FontName.set(rec, font.name);
    FontRec::FontHeight.set(rec, FontHeightFor(font.size));
    FontRec::FontColor.set(rec, font.color);
}

void AddFrame(TKVT& form, Box box, Pen pen, Fill fill = {}, std::int16_t roundness = 0) {
    std::vector<std::uint8_t> rec(kFrameSize);
    SetGeometry(rec, box);
    FrameRec::OuterStyle.set(rec, pen.style);
    FrameRec::InnerStyle.set(rec, fill.style);
    FrameRec::InnerColor.set(rec, fill.color);
    FrameRec::OuterColor.set(rec, pen.color);
    FrameRec::Thickness.set(rec, pen.thickness);
    FrameRec::Roundness.set(rec, roundness);
    form.KVTFile().Frames.Add(rec);
}

void AddLine(TKVT& form, Box box, float angle, Pen pen) {
    std::vector<std::uint8_t> rec(kLineSize);
    SetGeometry(rec, box);
    LineRec::Angle.set(rec, angle);
    LineRec::Style.set(rec, pen.style);
    LineRec::Color.set(rec, pen.color);
    LineRec::Thickness.set(rec, pen.thickness);
    form.KVTFile().Lines.Add(rec);
}

// A horizontal line is drawn through the middle of its box, a vertical one likewise.
void AddHLine(TKVT& form, int x, int y, int length, Pen pen) {
    AddLine(form, {x, y, length, 1}, 0, pen);
}
void AddVLine(TKVT& form, int x, int y, int length, Pen pen) {
    AddLine(form, {x, y, 1, length}, 90, pen);
}

void AddEllipse(TKVT& form, Box box, Pen pen, Fill fill = {}) {
    std::vector<std::uint8_t> rec(kEllipseSize);
    SetGeometry(rec, box);
    EllipseRec::OuterStyle.set(rec, pen.style);
    EllipseRec::InnerStyle.set(rec, fill.style);
    EllipseRec::OuterColor.set(rec, pen.color);
    EllipseRec::InnerColor.set(rec, fill.color);
    EllipseRec::Thickness.set(rec, pen.thickness);
    form.KVTFile().Ellipses.Add(rec);
}

// The record is stored only as long as its text needs.
void AddText(TKVT& form, Box box, std::string_view utf8, const Font& font, std::uint8_t alignment = kLeft,
             float angle = 0) {
    const std::string text = Utf8ToWindows1252(utf8);
    std::vector<std::uint8_t> rec(kTextMaxSize);
    SetGeometry(rec, box);
    SetFont(rec, font);
    TextRec::Angle.set(rec, angle);
    TextRec::Alignment.set(rec, alignment);
    TextRec::Text.set(rec, text);
    ItemHeader::ItemSize.set(rec, TextItemSize(text.size()));
    form.KVTFile().Texts.Add(rec);
}

// A one-line label: the box is as high as the font needs.
void AddLabel(TKVT& form, int x, int y, int width, std::string_view utf8, const Font& font,
              std::uint8_t alignment = kLeft) {
    AddText(form, {x, y, width, LineHeightFor(font)}, utf8, font, alignment);
}

struct FieldOptions {
    std::string_view name = {}; // empty: the form's next free "FieldN"
    std::uint8_t format = lfoText;
    Font font = {};
    std::uint8_t alignment = kLeft;
    std::uint8_t digits = 0;
    std::uint8_t decimals = 0;
    std::uint8_t memoSpacing = 0;
    std::int16_t maxLength = 0;
    bool readOnly = false;
    bool autoRound = false;
    std::int32_t tag = 0;
};

// Fields are filled in in the order they are added.
void AddField(TKVT& form, Box box, const FieldOptions& options) {
    std::string name(options.name);
    if (name.empty()) form.NewFieldName(name);
    std::vector<std::uint8_t> rec(kFieldSize);
    SetGeometry(rec, box);
    SetFont(rec, options.font);
    FieldRec::Alignment.set(rec, options.alignment);
    FieldRec::Name.set(rec, name);
    FieldRec::Format.set(rec, options.format);
    FieldRec::Digits.set(rec, options.digits);
    FieldRec::Decimals.set(rec, options.decimals);
    FieldRec::MemoSpacing.set(rec, options.memoSpacing);
    FieldRec::TabOrder.set(rec, std::int16_t(form.NextTabOrder()));
    FieldRec::MaxLength.set(rec, options.maxLength);
    FieldRec::ReadOnly.set(rec, options.readOnly);
    FieldRec::AutoRound.set(rec, options.autoRound);
    FieldRec::CtlOutline.set(rec, !options.readOnly);
    FieldRec::CtlColor.set(rec, kClWindow);
    FieldRec::Tag.set(rec, options.tag);
    form.KVTFile().Fields.Add(rec);
}

void AddLogo(TKVT& form, Box box, const std::vector<std::uint8_t>& picture, std::uint8_t pictureType, bool scaled) {
    std::vector<std::uint8_t> rec(std::size_t(LogoItemSize(std::int32_t(picture.size()))));
    SetGeometry(rec, box);
    LogoRec::PictureType.set(rec, pictureType);
    LogoRec::Scaled.set(rec, scaled);
    LogoRec::DataSize.set(rec, std::int32_t(picture.size()));
    std::copy(picture.begin(), picture.end(), rec.begin() + LogoRec::DataOffset);
    ItemHeader::ItemSize.set(rec, LogoItemSize(std::int32_t(picture.size())));
    form.KVTFile().Logos.Add(rec);
}

void SetPaper(TKVT& form, std::uint8_t paperSize, std::uint8_t orientation) {
    const Bytes header = form.KVTFile().Header.Items(0);
    std::int16_t width = 0, height = 0;
    PaperPageSize(paperSize, orientation, width, height);
    HeaderRec::PaperSize.set(header, paperSize);
    HeaderRec::Orientation.set(header, orientation);
    HeaderRec::PageWidth.set(header, width);
    HeaderRec::PageHeight.set(header, height);
}

// A Windows bitmap file of 24-bit pixels; `pixel(x, y)` gives $00BBGGRR with y = 0 at the top.
template <typename PixelFn>
std::vector<std::uint8_t> MakeBitmap(std::int32_t width, std::int32_t height, PixelFn pixel) {
    const std::uint32_t rowSize = (std::uint32_t(width) * 3 + 3) & ~3u;
    const std::uint32_t imageSize = rowSize * std::uint32_t(height);
    constexpr std::uint32_t kHeaders = 14 + 40;
    std::vector<std::uint8_t> bmp(kHeaders + imageSize);
    const Bytes b(bmp);
    writeLE<std::uint8_t>(b, 0, 'B');
    writeLE<std::uint8_t>(b, 1, 'M');
    writeLE<std::uint32_t>(b, 2, std::uint32_t(bmp.size()));
    writeLE<std::uint32_t>(b, 10, kHeaders);
    writeLE<std::uint32_t>(b, 14, 40);
    writeLE<std::int32_t>(b, 18, width);
    writeLE<std::int32_t>(b, 22, height); // positive: rows stored bottom-up
    writeLE<std::uint16_t>(b, 26, 1);
    writeLE<std::uint16_t>(b, 28, 24);
    writeLE<std::uint32_t>(b, 34, imageSize);
    writeLE<std::int32_t>(b, 38, 3780); // 96 dpi in pixels per metre
    writeLE<std::int32_t>(b, 42, 3780);
    for (std::int32_t y = 0; y < height; ++y) {
        const std::size_t row = kHeaders + std::size_t(height - 1 - y) * rowSize;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint32_t c = pixel(x, y);
            bmp[row + 3 * std::size_t(x)] = std::uint8_t(c >> 16);    // blue
            bmp[row + 3 * std::size_t(x) + 1] = std::uint8_t(c >> 8); // green
            bmp[row + 3 * std::size_t(x) + 2] = std::uint8_t(c);      // red
        }
    }
    return bmp;
}

// The company mark: a navy tile shading to blue, a white rising band and an orange sun.
std::vector<std::uint8_t> CompanyLogo() {
    constexpr std::int32_t kSize = 48;
    return MakeBitmap(kSize, kSize, [](std::int32_t x, std::int32_t y) {
        const std::int32_t dx = x - 33, dy = y - 14;
        if (dx * dx + dy * dy <= 64) return kAccent;
        const std::int32_t band = x + y - (kSize - 1);
        if (band >= -4 && band <= 4) return kWhite;
        return Rgb(std::uint8_t(0x1F + y), std::uint8_t(0x3A + y), std::uint8_t(0x5F + 2 * y));
    });
}

void BuildInvoice(TKVT& form) {
    form.Reset();
    const Font body{"Arial", 9};
    const Font bodyBold{"Arial", 9, fsBold};
    const Font bandFont{"Arial", 9, fsBold, kWhite};
    const Font entry{"Arial", 10};
    const Font mono{"Courier New", 9};
    const Pen navy{psSolid, 1, kNavy};
    const Pen rule{psDotted, 1, kSilver};

    // Page border.
    AddFrame(form, {24, 24, 768, 1008}, {psSolid, 2, kNavy});

    // Company block.
    AddLogo(form, {48, 48, 64, 64}, CompanyLogo(), ptBitmap, true);
    AddText(form, {124, 46, 380, 32}, "Northwind Supply Co.", {"Times New Roman", 20, fsBold, kNavy});
    AddLabel(form, 124, 80, 380, "1200 Harbor Avenue, Suite 300", body);
    AddLabel(form, 124, 95, 380, "Portland, OR 97209", body);
    AddLabel(form, 124, 110, 380, "(503) 555-0142 · billing@northwind.example", body);

    // Title and invoice particulars.
    AddText(form, {520, 40, 248, 44}, "INVOICE", {"Arial", 28, fsBold, kNavy}, kRight);
    AddFrame(form, {520, 90, 248, 72}, navy, {fsSolid, kPaleGrey}, 12);
    const int particularsX = 530, particularsW = 90, valueX = 626, valueW = 132;
    AddLabel(form, particularsX, 98, particularsW, "Invoice No.", bodyBold, kRight);
    AddField(form, {valueX, 96, valueW, 18}, {.name = "InvoiceNo", .font = entry, .maxLength = 12});
    AddLabel(form, particularsX, 118, particularsW, "Date", bodyBold, kRight);
    AddField(form, {valueX, 116, valueW, 18}, {.name = "InvoiceDate", .format = lfoDate, .font = entry});
    AddLabel(form, particularsX, 138, particularsW, "Due date", bodyBold, kRight);
    AddField(form, {valueX, 136, valueW, 18}, {.name = "DueDate", .format = lfoDate, .font = entry});

    AddHLine(form, 48, 176, 720, {psSolid, 2, kNavy});

    // Bill-to and payment boxes, each with a navy title band.
    const int boxTop = 192, boxHeight = 132, bandHeight = 20;
    AddFrame(form, {48, boxTop, 340, boxHeight}, navy);
    AddFrame(form, {48, boxTop, 340, bandHeight}, navy, {fsSolid, kNavy});
    AddLabel(form, 56, boxTop + 3, 200, "BILL TO", bandFont);
    const int billX = 58, billW = 320;
    AddField(form, {billX, 218, billW, 18}, {.name = "CustomerName", .font = {"Arial", 10, fsBold}, .maxLength = 40});
    AddField(form, {billX, 238, billW, 18}, {.name = "Company", .font = entry, .maxLength = 40});
    AddField(form, {billX, 258, billW, 18}, {.name = "Street", .font = entry, .maxLength = 40});
    AddField(form, {billX, 278, 190, 18}, {.name = "City", .font = entry, .maxLength = 24});
    AddField(form, {252, 278, 36, 18}, {.name = "State", .font = entry, .maxLength = 2});
    AddField(form, {294, 278, 84, 18}, {.name = "Zip", .format = lfoZipCode, .font = entry});
    AddLabel(form, billX, 302, 44, "Phone", body);
    AddField(form, {104, 298, 150, 18}, {.name = "Phone", .format = lfoPhone, .font = entry});

    AddFrame(form, {428, boxTop, 340, boxHeight}, navy);
    AddFrame(form, {428, boxTop, 340, bandHeight}, navy, {fsSolid, kNavy});
    AddLabel(form, 436, boxTop + 3, 200, "PAYMENT", bandFont);
    const int payLabelX = 438, payLabelW = 100, payX = 544, payW = 214;
    AddLabel(form, payLabelX, 222, payLabelW, "Customer No.", body);
    AddField(form, {payX, 218, payW, 18},
             {.name = "CustomerNo", .format = lfoInteger, .font = entry, .digits = 8, .maxLength = 8});
    AddLabel(form, payLabelX, 242, payLabelW, "Purchase order", body);
    AddField(form, {payX, 238, payW, 18}, {.name = "PurchaseOrder", .font = entry, .maxLength = 20});
    AddLabel(form, payLabelX, 262, payLabelW, "Terms", body);
    AddField(form, {payX, 258, payW, 18}, {.name = "Terms", .format = lfoComboBox, .font = entry});
    AddLabel(form, payLabelX, 282, payLabelW, "Sales contact", body);
    AddField(form, {payX, 278, payW, 18}, {.name = "SalesContact", .font = entry, .maxLength = 30});
    AddLabel(form, payLabelX, 302, payLabelW, "Contact phone", body);
    AddField(form, {payX, 298, payW, 18}, {.name = "ContactPhone", .format = lfoPhoneExt, .font = entry});

    // Line-item table: a title row and twelve item rows, ruled between the rows.
    constexpr int tableX = 48, tableTop = 344, tableW = 720, rowH = 24, rows = 12;
    constexpr int tableH = rowH * (rows + 1);
    constexpr int qtyX = tableX, qtyW = 60, descX = qtyX + qtyW, descW = 400, priceX = descX + descW, priceW = 130,
                  amountX = priceX + priceW, amountW = 130;
    AddFrame(form, {tableX, tableTop, tableW, tableH}, {psSolid, 2, kNavy});
    AddFrame(form, {tableX, tableTop, tableW, rowH}, navy, {fsSolid, kNavy});
    const int titleY = tableTop + 5, pad = 6;
    AddLabel(form, qtyX, titleY, qtyW, "Qty", bandFont, kCentred);
    AddLabel(form, descX + pad, titleY, descW - 2 * pad, "Description", bandFont);
    AddLabel(form, priceX + pad, titleY, priceW - 2 * pad, "Unit price", bandFont, kRight);
    AddLabel(form, amountX + pad, titleY, amountW - 2 * pad, "Amount", bandFont, kRight);
    for (const int x : {descX, priceX, amountX})
        AddVLine(form, x, tableTop, tableH, navy);
    for (int row = 2; row <= rows; ++row)
        AddHLine(form, tableX, tableTop + row * rowH, tableW, rule);
    for (int row = 1; row <= rows; ++row) {
        const int y = tableTop + row * rowH + 3;
        const std::string n = std::to_string(row);
        const std::string qty = "Qty" + n, item = "Item" + n, price = "UnitPrice" + n, amount = "Amount" + n;
        AddField(form, {qtyX + pad, y, qtyW - 2 * pad, 18},
                 {.name = qty, .format = lfoInteger, .font = entry, .alignment = kRight, .digits = 4, .tag = row});
        AddField(form, {descX + pad, y, descW - 2 * pad, 18},
                 {.name = item, .font = entry, .maxLength = 60, .tag = row});
        AddField(form, {priceX + pad, y, priceW - 2 * pad, 18},
                 {.name = price,
                  .format = lfoDollar,
                  .font = entry,
                  .alignment = kRight,
                  .digits = 9,
                  .decimals = 2,
                  .autoRound = true,
                  .tag = row});
        AddField(form, {amountX + pad, y, amountW - 2 * pad, 18},
                 {.name = amount,
                  .format = lfoDollar,
                  .font = entry,
                  .alignment = kRight,
                  .digits = 9,
                  .decimals = 2,
                  .readOnly = true,
                  .autoRound = true,
                  .tag = row});
    }

    // Totals under the last two columns.
    constexpr int totalsTop = tableTop + tableH + 8, totalsLabelX = priceX - 60, totalsLabelW = priceW + 60 - pad;
    const char* const totalLabels[] = {"Subtotal", "Tax rate", "Sales tax", "Shipping"};
    const FieldOptions totalFields[] = {
        {.name = "Subtotal", .format = lfoDollar, .digits = 9, .decimals = 2, .readOnly = true},
        {.name = "TaxRate", .format = lfoPercent, .digits = 5, .decimals = 2},
        {.name = "SalesTax", .format = lfoDollar, .digits = 9, .decimals = 2, .readOnly = true},
        {.name = "Shipping", .format = lfoDollar, .digits = 9, .decimals = 2},
    };
    for (std::size_t i = 0; i < 4; ++i) {
        const int y = totalsTop + 22 * int(i);
        AddLabel(form, totalsLabelX, y + 3, totalsLabelW, totalLabels[i], body, kRight);
        FieldOptions options = totalFields[i];
        options.font = entry;
        options.alignment = kRight;
        options.autoRound = true;
        AddField(form, {amountX + pad, y, amountW - 2 * pad, 18}, options);
    }
    const int totalY = totalsTop + 4 * 22 + 6;
    AddHLine(form, priceX, totalY - 4, priceW + amountW, {psSolid, 1, kBlack});
    AddHLine(form, priceX, totalY - 1, priceW + amountW, {psSolid, 1, kBlack});
    AddFrame(form, {priceX, totalY + 2, priceW + amountW, 28}, navy, {fsSolid, kPaleGrey});
    AddLabel(form, totalsLabelX, totalY + 8, totalsLabelW, "Total due", {"Arial", 11, fsBold, kNavy}, kRight);
    AddField(form, {amountX + pad, totalY + 6, amountW - 2 * pad, 20},
             {.name = "TotalDue",
              .format = lfoDollar,
              .font = {"Arial", 11, fsBold},
              .alignment = kRight,
              .digits = 10,
              .decimals = 2,
              .readOnly = true,
              .autoRound = true});

    // Notes and payment record, left of the totals.
    const int notesW = 380;
    AddLabel(form, 48, totalsTop, 200, "Notes", bodyBold);
    AddFrame(form, {48, totalsTop + 18, notesW, 96}, {psDashed, 1, kGrey});
    AddField(form, {54, totalsTop + 22, notesW - 12, 88},
             {.name = "Notes", .format = lfoMemo, .font = body, .memoSpacing = 14, .maxLength = 500});
    const int paidY = totalsTop + 124;
    AddField(form, {48, paidY, 16, 16}, {.name = "Paid", .format = lfoCheckbox, .font = entry});
    AddLabel(form, 70, paidY + 2, 40, "Paid", bodyBold);
    AddLabel(form, 118, paidY + 2, 64, "Date paid", body, kRight);
    AddField(form, {188, paidY, 100, 18}, {.name = "DatePaid", .format = lfoShortDate, .font = entry});
    AddLabel(form, 296, paidY + 2, 40, "Card", body, kRight);
    AddField(form, {342, paidY, 180, 18}, {.name = "CardNumber", .format = lfoVisaMC, .font = mono});

    // Closing: a seal, the terms in justified fine print, the remittance line.
    AddEllipse(form, {598, 846, 170, 70}, {psSolid, 2, kAccent}, {fsSolid, Rgb(0xFD, 0xF1, 0xE6)});
    AddText(form, {608, 866, 150, 30}, "Thank you!", {"Times New Roman", 18, fsBold | fsItalic, kNavy}, kCentred);
    AddHLine(form, 48, 936, 720, navy);
    // A text record holds one line: the fine print is two justified lines across the page.
    AddText(form, {48, 944, 720, 14},
            "Payment is due within 30 days of the invoice date. Please quote the invoice number with your payment.",
            {"Arial", 9, 0, kGrey}, kJustified);
    AddText(form, {48, 960, 720, 14},
            "Overdue balances bear interest at 1.5% per month. Goods remain the property of Northwind Supply Co.",
            {"Arial", 9, 0, kGrey}, kJustified);
    AddLabel(form, 48, 994, 520, "Remit to: Northwind Supply Co., account 0042-7781-33", mono);
    AddLabel(form, 618, 994, 150, "Page 1 of 1", {"Arial", 8, fsItalic, kGrey}, kRight);

    // Copy mark along the right margin, reading upwards.
    AddText(form, {772, 860, 14, 170}, "ORIGINAL — CUSTOMER COPY", {"Arial", 8, fsBold, kSilver}, kLeft, 90);
}

void BuildSmall(TKVT& form) {
    form.Reset();
    SetPaper(form, kvtA5, kvtLandScape);
    const Font label{"Arial", 10};

    AddFrame(form, {10, 10, 300, 200}, {psSolid, 1, kBlack});
    AddFrame(form, {330, 10, 200, 120}, {psDashed, 3, kNavy}, {fsDiagonal, kSilver}, 16);
    AddLine(form, {10, 230, 300, 1}, 0, {psDashed, 1, kBlack});
    AddLine(form, {330, 150, 200, 100}, 45, {psSolid, 2, kAccent});
    AddEllipse(form, {560, 10, 120, 80}, {psSolid, 1, kBlack}, {fsSolid, kPaleGrey});
    AddEllipse(form, {560, 110, 80, 80}, {psDotted, 1, kGrey}, {fsCross, kSilver});
    AddText(form, {20, 20, 200, 16}, "Name", label);
    AddText(form, {20, 60, 280, 40}, "Café \"Zoë\" \\ C:\\forms", {"Courier New", 12, fsItalic | fsUnderline},
            kCentred);
    AddText(form, {700, 20, 16, 120}, "Sideways", {"Times New Roman", 9, 0, kNavy}, kRight, 270);
    AddField(form, {80, 20, 200, 18}, {.font = label, .maxLength = 30});
    AddField(form, {80, 110, 120, 18}, {.format = lfoDollar, .font = label, .alignment = kRight, .decimals = 2});
    AddField(form, {80, 140, 16, 16}, {.format = lfoCheckbox, .font = label});
    const std::vector<std::uint8_t> dot =
        MakeBitmap(2, 2, [](std::int32_t x, std::int32_t y) { return (x + y) % 2 ? kWhite : kNavy; });
    AddLogo(form, {20, 170, 32, 32}, dot, ptBitmap, true);
    AddLogo(form, {60, 170, 32, 32}, {}, ptEmpty, false);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: kovet-make-samples OUTPUT-FOLDER\n", stderr);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    try {
        TKVT form;
        BuildInvoice(form);
        form.SaveToFile(folder / "invoice.kvt");
        BuildSmall(form);
        form.SaveToFile(folder / "small.kvt");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
