#include "PdfFormWriter.h"

#include "storage/Exception.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <map>
#include <memory>

namespace kovet {
namespace {

QPDFObjectHandle name(const std::string& text) {
    return QPDFObjectHandle::newName("/" + text);
}

QPDFObjectHandle numbers(std::initializer_list<double> values) {
    QPDFObjectHandle array = QPDFObjectHandle::newArray();
    for (const double v : values)
        array.appendItem(QPDFObjectHandle::newReal(v, 3));
    return array;
}

class FormWriter {
public:
    FormWriter(QPDF& pdf, QPDFPageObjectHelper page) : pdf_(pdf), page_(page.getObjectHandle()) {
        QPDFObjectHandle box = page.getMediaBox();
        if (box.isRectangle()) pageTop_ = box.getArrayAsRectangle().ury;
    }

    void Add(const TPdfFieldDesc& desc) {
        QPDFObjectHandle field = QPDFObjectHandle::newDictionary();
        field.replaceKey("/T", QPDFObjectHandle::newUnicodeString(desc.Name));
        field.replaceKey("/FT", name(desc.Type == TPdfFieldType::Text     ? "Tx"
                                     : desc.Type == TPdfFieldType::Choice ? "Ch"
                                                                          : "Btn"));
        field.replaceKey("/Ff", QPDFObjectHandle::newInteger(desc.Flags));
        field.replaceKey("/DA", QPDFObjectHandle::newString(desc.DefaultAppearance));
        const bool button = desc.Type == TPdfFieldType::CheckBox || desc.Type == TPdfFieldType::RadioGroup;
        field.replaceKey("/V", button ? name(desc.Value) : QPDFObjectHandle::newUnicodeString(desc.Value));
        if (!button) field.replaceKey("/Q", QPDFObjectHandle::newInteger(desc.Quadding));
        if (desc.MaxLength > 0) field.replaceKey("/MaxLen", QPDFObjectHandle::newInteger(desc.MaxLength));
        if (desc.Type == TPdfFieldType::Choice) {
            QPDFObjectHandle options = QPDFObjectHandle::newArray();
            for (const std::string& option : desc.Options)
                options.appendItem(QPDFObjectHandle::newUnicodeString(option));
            field.replaceKey("/Opt", options);
        }
        if (!desc.FormatScript.empty()) {
            QPDFObjectHandle actions = QPDFObjectHandle::newDictionary();
            actions.replaceKey("/F", script(desc.FormatScript));
            actions.replaceKey("/K", script(desc.KeystrokeScript));
            field.replaceKey("/AA", actions);
        }
        QPDFObjectHandle fieldRef = pdf_.makeIndirectObject(field);
        fields_.appendItem(fieldRef);
        QPDFObjectHandle font = this->font(desc.BaseFont, desc.FontResource);
        // A field of one widget is one dictionary; a radio group's buttons are its kids.
        if (desc.Type != TPdfFieldType::RadioGroup && desc.Widgets.size() == 1) {
            makeWidget(fieldRef, desc, desc.Widgets.front(), font);
            return;
        }
        QPDFObjectHandle kids = QPDFObjectHandle::newArray();
        for (const TPdfWidgetDesc& widget : desc.Widgets) {
            QPDFObjectHandle kid = pdf_.makeIndirectObject(QPDFObjectHandle::newDictionary());
            kid.replaceKey("/Parent", fieldRef);
            makeWidget(kid, desc, widget, font);
            kids.appendItem(kid);
        }
        fieldRef.replaceKey("/Kids", kids);
    }

    void Finish() {
        QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
        font("Helvetica", "Helv");
        for (const auto& [resource, ref] : fonts_)
            fonts.replaceKey("/" + resource, ref);
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        resources.replaceKey("/Font", fonts);
        QPDFObjectHandle form = QPDFObjectHandle::newDictionary();
        form.replaceKey("/Fields", fields_);
        form.replaceKey("/DR", resources);
        form.replaceKey("/DA", QPDFObjectHandle::newString("/Helv 0 Tf 0 g"));
        // Every widget has its appearance drawn.
        form.replaceKey("/NeedAppearances", QPDFObjectHandle::newBool(false));
        pdf_.getRoot().replaceKey("/AcroForm", pdf_.makeIndirectObject(form));
        QPDFObjectHandle annots = page_.getKey("/Annots");
        if (!annots.isArray()) {
            annots = QPDFObjectHandle::newArray();
            page_.replaceKey("/Annots", annots);
        }
        for (QPDFObjectHandle& widget : widgets_)
            annots.appendItem(widget);
    }

private:
    static QPDFObjectHandle script(const std::string& text) {
        QPDFObjectHandle action = QPDFObjectHandle::newDictionary();
        action.replaceKey("/S", name("JavaScript"));
        action.replaceKey("/JS", QPDFObjectHandle::newString(text));
        return action;
    }

    QPDFObjectHandle font(const std::string& baseFont, const std::string& resource) {
        auto found = fonts_.find(resource);
        if (found != fonts_.end()) return found->second;
        QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
        dict.replaceKey("/Type", name("Font"));
        dict.replaceKey("/Subtype", name("Type1"));
        dict.replaceKey("/BaseFont", name(baseFont));
        dict.replaceKey("/Encoding", name("WinAnsiEncoding"));
        return fonts_.emplace(resource, pdf_.makeIndirectObject(dict)).first->second;
    }

    QPDFObjectHandle look(const std::string& content, const TPdfWidgetDesc& widget, const std::string& resource,
                          QPDFObjectHandle font) {
        QPDFObjectHandle stream = pdf_.newStream(content);
        QPDFObjectHandle dict = stream.getDict();
        dict.replaceKey("/Type", name("XObject"));
        dict.replaceKey("/Subtype", name("Form"));
        dict.replaceKey("/BBox", numbers({0, 0, widget.Right - widget.Left, widget.Bottom - widget.Top}));
        QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
        fonts.replaceKey("/" + resource, font);
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        resources.replaceKey("/Font", fonts);
        dict.replaceKey("/Resources", resources);
        return stream;
    }

    void makeWidget(QPDFObjectHandle dict, const TPdfFieldDesc& desc, const TPdfWidgetDesc& widget,
                    QPDFObjectHandle font) {
        dict.replaceKey("/Type", name("Annot"));
        dict.replaceKey("/Subtype", name("Widget"));
        dict.replaceKey("/Rect", numbers({widget.Left, pageTop_ - widget.Bottom, widget.Right, pageTop_ - widget.Top}));
        dict.replaceKey("/F", QPDFObjectHandle::newInteger(4)); // printed
        dict.replaceKey("/P", page_);
        QPDFObjectHandle appearances = QPDFObjectHandle::newDictionary();
        if (widget.OnState.empty()) {
            appearances.replaceKey("/N", look(widget.Appearance, widget, desc.FontResource, font));
        } else {
            QPDFObjectHandle states = QPDFObjectHandle::newDictionary();
            states.replaceKey("/" + widget.OnState, look(widget.Appearance, widget, desc.FontResource, font));
            states.replaceKey("/Off", look(widget.OffAppearance, widget, desc.FontResource, font));
            appearances.replaceKey("/N", states);
            dict.replaceKey("/AS", name(desc.Value == widget.OnState ? widget.OnState : "Off"));
            if (desc.Type == TPdfFieldType::RadioGroup)
                dict.replaceKey("/DA", QPDFObjectHandle::newString(desc.DefaultAppearance));
        }
        dict.replaceKey("/AP", appearances);
        widgets_.push_back(dict);
    }

    QPDF& pdf_;
    QPDFObjectHandle page_;
    double pageTop_ = 792;
    std::map<std::string, QPDFObjectHandle> fonts_;
    QPDFObjectHandle fields_ = QPDFObjectHandle::newArray();
    std::vector<QPDFObjectHandle> widgets_;
};

} // namespace

std::vector<std::uint8_t> WritePdfFormFields(const std::uint8_t* page, std::size_t size,
                                             const std::vector<TPdfFieldDesc>& fields) {
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("page", reinterpret_cast<const char*>(page), size);
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
        if (pages.empty()) throw Exception("The page PDF has no page");
        FormWriter writer(pdf, pages.front());
        for (const TPdfFieldDesc& field : fields)
            writer.Add(field);
        writer.Finish();
        QPDFWriter out(pdf);
        out.setOutputMemory();
        out.setDeterministicID(true);
        out.write();
        const std::shared_ptr<Buffer> buffer = out.getBufferSharedPointer();
        return {buffer->getBuffer(), buffer->getBuffer() + buffer->getSize()};
    } catch (const Exception&) {
        throw;
    } catch (const std::exception& error) {
        throw Exception(std::string("The fillable PDF cannot be made: ") + error.what());
    }
}

} // namespace kovet
