#pragma once

// The run-time form widget: shows a form at its natural size or scaled to the widget's
// height, draws the fill-in fields' values over the page, opens one editor over the field the
// user clicks or tabs to, gives the program the fields by name, saves and loads their values,
// and prints the filled page.

#include "FieldData.h"
#include "KVTLabel.h"
#include "Painter.h"
#include "PrintLayout.h"
#include "document/KVTFile.h"
#include "platform/Canvas.h"
#include "platform/QtTextMetrics.h"

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QPagedPaintDevice;
class QPrinter;

namespace kovet {

enum TKVTDisplayOption : std::uint8_t {
    kvtAutosize,
    kvtCenter,
    kvtScale,
    kvtTransparent,
    kvtWaterMark,
    kvtWaterMarkTiled,
    kvtWaterMarkStretch,
    kvtDoublebuffer,
};
// A set of TKVTDisplayOption: bit n is literal n.
using TKVTDisplayOptions = std::uint8_t;

enum TKVTPrintOption : std::uint8_t {
    kvtForm,
    kvtLabels,
    kvtFields,
    kvtLogos,
    kvtShading,
    kvtColor,
    kvtExactDPI,
    kvtExactMargins,
    kvtFieldOutline,
    kvtWater,
    kvtWaterTiled,
    kvtWaterStretch,
};
// A set of TKVTPrintOption: bit n is literal n.
using TKVTPrintOptions = std::uint16_t;

template <typename Set, typename Option> constexpr Set OptionBit(Option o) {
    return static_cast<Set>(1u << o);
}
template <typename Set, typename Option> constexpr bool HasOption(Set set, Option o) {
    return (set >> o) & 1u;
}

inline constexpr TKVTDisplayOptions kDefaultDisplayOptions =
    OptionBit<TKVTDisplayOptions>(kvtWaterMark) | OptionBit<TKVTDisplayOptions>(kvtWaterMarkTiled);
inline constexpr TKVTPrintOptions kDefaultPrintOptions =
    OptionBit<TKVTPrintOptions>(kvtForm) | OptionBit<TKVTPrintOptions>(kvtLabels) |
    OptionBit<TKVTPrintOptions>(kvtFields) | OptionBit<TKVTPrintOptions>(kvtLogos) |
    OptionBit<TKVTPrintOptions>(kvtShading) | OptionBit<TKVTPrintOptions>(kvtWater) |
    OptionBit<TKVTPrintOptions>(kvtWaterTiled);

// The option's name as it is written ("kvtForm", ...), for command lines.
std::string_view PrintOptionName(TKVTPrintOption option);

// What DrawControl draws: a form label (a field), or a label or picture the program placed
// on the image as a child widget.
struct TDrawnControl {
    TKVTLabel* Label = nullptr;
    QLabel* Widget = nullptr;
};

class TCustomKVTImage;

// DefaultDrawing enters true; leaving it true lets the default drawing follow.
using TDrawLabelEvent = std::function<void(TCustomKVTImage& sender, const TDrawnControl& control, Canvas& canvas,
                                           const TRect& rect, float scale, bool& defaultDrawing)>;

class TCustomKVTImage : public QWidget {
public:
    explicit TCustomKVTImage(QWidget* parent = nullptr);
    ~TCustomKVTImage() override;

    // The form shown: setting copies the given form.
    const TKVT& KVT() const { return *kvt_; }
    void SetKVT(const TKVT& form);
    // The form as the bytes of a form file.
    std::vector<std::uint8_t> KVTData() const;
    void SetKVTData(std::span<const std::uint8_t> bytes);
    // Loads a form file (the current format or an older one); throws on a bad file.
    void LoadFromFile(const std::filesystem::path& fileName);

    TKVTDisplayOptions DisplayOptions() const { return displayOptions_; }
    void SetDisplayOptions(TKVTDisplayOptions options);
    TKVTPrintOptions PrintOptions() const { return printOptions_; }
    void SetPrintOptions(TKVTPrintOptions options);
    const QImage& Watermark() const { return watermark_; }
    void SetWatermark(const QImage& watermark);
    TColor BGColor() const { return bgColor_; }
    void SetBGColor(TColor color);
    TColor DashColor() const { return dashColor_; }
    void SetDashColor(TColor color);

    TDrawLabelEvent OnDrawLabel;

    // Printing.
    std::string PrintTitle = "KVT Form";
    TKVTPaperSize PaperSize = kvtLetter;
    TKVTOrientation Orientation = kvtPortrait;
    std::int16_t NumCopies = 1;
    TKVTDuplex Duplex = kvtNone;
    // The back page; cleared when that image is destroyed.
    TCustomKVTImage* DuplexImage() const { return duplexImage_.data(); }
    void SetDuplexImage(TCustomKVTImage* image) { duplexImage_ = image; }
    const TPrinterMetrics& PrinterMetrics() const { return printerMetrics_; }

    // Paper, orientation, copies, duplex and colour into the printer; captures its
    // resolution and offsets.
    void SetupPrinter(QPrinter& printer);
    // Called before page `page` (from 0) of a job is drawn, to fill the image anew.
    using TPreparePage = std::function<void(std::int32_t page)>;
    // Prints the page (and the back page) as one job; the job ends also when drawing fails.
    // With `pages` above 1 the job holds that many pages, each prepared by `prepare` first.
    void PrintDocument(QPrinter& printer, std::int32_t pages = 1, const TPreparePage& prepare = {});
    void Print(QPrinter& printer);
    // The pages as a PDF document, as PrintDocument prints them on a printer of kPdfResolution
    // pixels per inch whose paper (PaperSize, Orientation) is printable to its edges; in
    // colour, which kvtColor asks of printers alone. ExportPdf replaces the file safely.
    static constexpr std::int32_t kPdfResolution = 1200;
    std::vector<std::uint8_t> ExportPdfBytes(std::int32_t pages = 1, const TPreparePage& prepare = {});
    void ExportPdf(const std::filesystem::path& fileName, std::int32_t pages = 1, const TPreparePage& prepare = {});
    // Draws one page into `rect` of the canvas: watermark, form, pictures, labels, fields,
    // as the print options say. A value being typed is taken into its field first, so that
    // prints and exports hold it.
    void PrintPage(Canvas& canvas, const TRect& rect);
    // The printed page as an enhanced metafile of the page's size.
    void ExportMetafile(const std::filesystem::path& fileName);
    std::vector<std::uint8_t> ExportMetafileBytes();

    // (0, 0, page width, page height).
    TRect PageRect() { return kvt_->PageRect(); }
    // Where the page goes on the widget.
    TRect GetDrawRect(bool centred);
    // The screen scale: ScaleFor(GetDrawRect(false)).
    float ScreenScale();
    // Re-renders the off-screen page (with kvtDoublebuffer) and repaints.
    virtual void Invalidate();

    // Draws one label, picture or field into `rect` at `scale`.
    void DrawControl(Canvas& canvas, const TDrawnControl& control, bool outline, float scale, TRect rect);

    QSize sizeHint() const override;

protected:
    virtual void RebuildFields() {}
    virtual void RescaleFields() {}
    // Ends the editing of a value, writing what was typed into its field.
    virtual void TakeTypedValue() {}
    virtual void DrawFields(Canvas& canvas, const TRect& rect, bool outline);
    // Paints the page onto `painter` (the widget or the off-screen buffer) at `rect`.
    void PaintPage(QPainter& painter, const TRect& rect, QSize area);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    TKVT& form() { return *kvt_; }

private:
    // The form drawn as this image shows and prints it: shaded as kvtShading says.
    TDrawOptions formOptions(bool opaque) const;
    // Draws `pages` pages (and back pages) onto a printer or PDF writer of those metrics.
    void printPages(QPagedPaintDevice& device, const TPrinterMetrics& metrics, std::int32_t pages,
                    const TPreparePage& prepare);
    void formChanged();
    // With kvtAutosize the widget takes the page's size.
    void applyAutosize();
    void drawWatermark(Canvas& canvas, QSize area, const TRect& rect);
    void printWatermark(Canvas& canvas, const TRect& rect);
    // The watermark stretched to `tile` in `columns` by `rows` tiles from the origin; tiles
    // wholly beyond `extent` are left out (they would not show).
    void drawTiles(Canvas& canvas, TSize tile, std::int32_t columns, std::int32_t rows, TSize extent);

    std::unique_ptr<TKVT> kvt_;
    TKVTDisplayOptions displayOptions_ = kDefaultDisplayOptions;
    TKVTPrintOptions printOptions_ = kDefaultPrintOptions;
    QImage watermark_;
    std::vector<std::uint8_t> watermarkBmp_; // the watermark as a BMP file image, for canvases
    TColor bgColor_ = clBtnShadow;
    TColor dashColor_ = clSilver;
    QImage buffer_;
    QPointer<TCustomKVTImage> duplexImage_;
    TPrinterMetrics printerMetrics_;
};

class TKVTImage : public TCustomKVTImage {
    Q_OBJECT
    // The widget's settings for Qt Designer and .ui files. `formFile` names the form shown: a
    // form file or a Qt resource (":/forms/invoice.kvt").
    Q_PROPERTY(QString formFile READ formFile WRITE setFormFile)
    Q_PROPERTY(DisplayFlags displayOptions READ displayOptions WRITE setDisplayOptions)
    Q_PROPERTY(PrintFlags printOptions READ printOptions WRITE setPrintOptions)
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor)
    Q_PROPERTY(QColor dashColor READ dashColor WRITE setDashColor)
    Q_PROPERTY(QPixmap watermark READ watermark WRITE setWatermark)
    Q_PROPERTY(QString printTitle READ printTitle WRITE setPrintTitle)
    Q_PROPERTY(Paper paperSize READ paperSize WRITE setPaperSize)
    Q_PROPERTY(PageOrientation orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(int numCopies READ numCopies WRITE setNumCopies)
    Q_PROPERTY(bool saveReadOnlyFields READ saveReadOnlyFields WRITE setSaveReadOnlyFields)

public:
    // The display and print options as flags: bit n is option n.
    enum DisplayFlag {
        DisplayAutosize = 1 << kvtAutosize,
        DisplayCenter = 1 << kvtCenter,
        DisplayScale = 1 << kvtScale,
        DisplayTransparent = 1 << kvtTransparent,
        DisplayWaterMark = 1 << kvtWaterMark,
        DisplayWaterMarkTiled = 1 << kvtWaterMarkTiled,
        DisplayWaterMarkStretch = 1 << kvtWaterMarkStretch,
        DisplayDoublebuffer = 1 << kvtDoublebuffer,
    };
    Q_DECLARE_FLAGS(DisplayFlags, DisplayFlag)
    Q_FLAG(DisplayFlags)
    enum PrintFlag {
        PrintForm = 1 << kvtForm,
        PrintLabels = 1 << kvtLabels,
        PrintFields = 1 << kvtFields,
        PrintLogos = 1 << kvtLogos,
        PrintShading = 1 << kvtShading,
        PrintColor = 1 << kvtColor,
        PrintExactDPI = 1 << kvtExactDPI,
        PrintExactMargins = 1 << kvtExactMargins,
        PrintFieldOutline = 1 << kvtFieldOutline,
        PrintWater = 1 << kvtWater,
        PrintWaterTiled = 1 << kvtWaterTiled,
        PrintWaterStretch = 1 << kvtWaterStretch,
    };
    Q_DECLARE_FLAGS(PrintFlags, PrintFlag)
    Q_FLAG(PrintFlags)
    enum Paper { Legal = kvtLegal, Letter = kvtLetter, A3 = kvtA3, A4 = kvtA4, A5 = kvtA5 };
    Q_ENUM(Paper)
    enum PageOrientation { Portrait = kvtPortrait, Landscape = kvtLandScape };
    Q_ENUM(PageOrientation)

    using TFieldChangeEvent = std::function<void(TKVTImage& sender, TKVTField& field)>;
    using TFieldControlCEvent = std::function<void(TKVTImage& sender, TKVTField& field, QWidget* control)>;
    using TFieldControlEvent = std::function<void(TKVTImage& sender, TKVTField& field, QWidget*& control)>;

    explicit TKVTImage(QWidget* parent = nullptr);
    ~TKVTImage() override;

    std::int32_t FieldCount() const { return std::int32_t(fields_.size()); }
    // The i-th field in field-record order; null out of range.
    TKVTField* Fields(std::int32_t i) const;
    // The field whose name equals `name`, ASCII case ignored (the first such); null when no
    // field has that name.
    TKVTField* FieldByName(std::string_view name) const;

    bool SaveReadOnlyFields = false;
    TFieldChangeEvent OnFieldExit;
    TFieldControlCEvent OnFieldChange;
    TFieldControlEvent OnFieldControlCreate;

    QWidget* Editor() const { return editor_; }
    TKVTField* CurrentField() const { return current_; }

    void Invalidate() override;

    // Recreates the fields from the form, discarding entered values.
    void Reload();
    void OpenField(TKVTField* field);
    // Writes the editor's value back to its field and closes the editor.
    void CloseField();
    void NextField();
    void PriorField();

    // The page as ExportPdfBytes draws it without the field values, and the fields as form
    // fields holding them that any PDF reader fills in (AddPdfFormFields of FillablePdf.h).
    // Only the page, not a duplex back page, has fields. Defined with the fillable export, in
    // the library kovet_pdfwidget, which links qpdf. ExportFillablePdf replaces the file
    // safely.
    std::vector<std::uint8_t> ExportFillablePdfBytes();
    void ExportFillablePdf(const std::filesystem::path& fileName);
    // The way back: the values of a filled-in PDF form (as ExportFillablePdf writes it, filled
    // in with any PDF reader), by field name with ASCII case ignored, each taken as if typed
    // into its field (TypeIntoField of TypedValue.h); a memo takes the lines as they are; a
    // check box is checked when its state is on; a radio group "Group<n>" checks the button of
    // group n whose Name its state names and unchecks the others. Fields the PDF gives no
    // value keep theirs. Returns what was wrong with values ("Total: 'abc' is not a number").
    // Throws Exception when the bytes are no PDF form or it names no field of the form (the
    // file's name in front), EFileError when the file cannot be read. Also in kovet_pdfwidget.
    std::vector<std::string> LoadPdfFormData(std::span<const std::uint8_t> pdf);
    std::vector<std::string> LoadPdfFormData(const std::filesystem::path& fileName);

    std::vector<std::string> SaveFieldStrings();
    void SaveFieldData(const std::filesystem::path& fileName);
    // Both return the notes of values cut to what their fields hold (LoadFieldStrings of
    // FieldData.h).
    std::vector<std::string> LoadFieldStrings(std::span<const std::string> lines);
    std::vector<std::string> LoadFieldData(const std::filesystem::path& fileName);

    // The properties, named as Qt names them (uic calls the setters). A form file that cannot be read leaves an empty
    // form and a warning (a window being built from a .ui file has no one to throw to).
    QString formFile() const { return formFile_; }
    void setFormFile(const QString& file);
    DisplayFlags displayOptions() const { return DisplayFlags(int(DisplayOptions())); }
    void setDisplayOptions(DisplayFlags flags) { SetDisplayOptions(TKVTDisplayOptions(flags.toInt())); }
    PrintFlags printOptions() const { return PrintFlags(int(PrintOptions())); }
    void setPrintOptions(PrintFlags flags) { SetPrintOptions(TKVTPrintOptions(flags.toInt())); }
    QColor backgroundColor() const;
    void setBackgroundColor(const QColor& color);
    QColor dashColor() const;
    void setDashColor(const QColor& color);
    QPixmap watermark() const { return QPixmap::fromImage(Watermark()); }
    void setWatermark(const QPixmap& picture) { SetWatermark(picture.toImage()); }
    QString printTitle() const { return QString::fromStdString(PrintTitle); }
    void setPrintTitle(const QString& title) { PrintTitle = title.toStdString(); }
    Paper paperSize() const { return Paper(PaperSize); }
    void setPaperSize(Paper paper) { PaperSize = TKVTPaperSize(paper); }
    PageOrientation orientation() const { return PageOrientation(Orientation); }
    void setOrientation(PageOrientation orientation) { Orientation = TKVTOrientation(orientation); }
    int numCopies() const { return NumCopies; }
    void setNumCopies(int copies) { NumCopies = std::int16_t(copies); }
    bool saveReadOnlyFields() const { return SaveReadOnlyFields; }
    void setSaveReadOnlyFields(bool save) { SaveReadOnlyFields = save; }

protected:
    void RebuildFields() override;
    void RescaleFields() override;
    void TakeTypedValue() override { CloseField(); }
    void DrawFields(Canvas& canvas, const TRect& rect, bool outline) override;

    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void closeField(bool writeBack);
    void moveField(bool forward);
    // The field that Tab (or Shift+Tab) opens after `from`, wrapping round at the end of the
    // tab order; with no `from`, the first (or last) field in tab order. Null when no field
    // can be reached.
    TKVTField* tabNeighbour(const TKVTField* from, bool forward) const;
    // Tab, Enter and their Shift forms move through the fields; false for any other key.
    bool moveByKey(int key, bool shift);
    // With an ancestor scroll area, scrolls the editor into its view.
    void scrollIntoView(QWidget* editor);
    void syncScale();
    void editorChanged();
    void repaintField(const TKVTField& field);
    void watchEditor(QWidget* widget);
    std::vector<TKVTField*> fieldPointers() const;

    std::vector<std::unique_ptr<TKVTField>> fields_;
    TKVTLabelSiblings siblings_;
    QWidget* editor_ = nullptr;
    TKVTField* current_ = nullptr;
    bool shiftHeld_ = false;
    bool updating_ = false;
    bool closing_ = false;
    // Counts field rebuilds, so that a step can tell when a handler rebuilt the fields.
    std::uint64_t generation_ = 0;
    float lastScale_ = 1.0f;
    TPoint lastOrigin_;
    QtTextMetrics metrics_;
    QString formFile_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TKVTImage::DisplayFlags)
Q_DECLARE_OPERATORS_FOR_FLAGS(TKVTImage::PrintFlags)

} // namespace kovet
