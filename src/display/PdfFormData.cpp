#include "PdfFormData.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFAcroFormDocumentHelper.hh>
#include <qpdf/QPDFFormFieldObjectHelper.hh>

#include <exception>
#include <set>
#include <vector>

namespace kovet {
namespace {

// The state a button's value names, without its slash; empty for /Off and for no state. Some
// writers store the state as a text string ("/Yes") rather than as a name.
std::string stateName(QPDFObjectHandle value) {
    std::string name;
    if (value.isName())
        name = value.getName();
    else if (value.isString())
        name = value.getUTF8Value();
    if (!name.empty() && name.front() == '/') name.erase(0, 1);
    return name == "Off" ? std::string() : name;
}

TPdfFieldValue valueOf(QPDFFormFieldObjectHelper& field) {
    TPdfFieldValue result;
    result.Name = field.getFullyQualifiedName();
    QPDFObjectHandle value = field.getValue();
    result.HasValue = !value.isNull();
    if (field.isRadioButton() || field.isCheckbox()) {
        result.Kind = field.isRadioButton() ? TPdfFieldKind::RadioGroup : TPdfFieldKind::CheckBox;
        result.Value = stateName(value);
        // A writer that set only the widgets' appearance states still shows one checked.
        if (!result.HasValue) {
            QPDFObjectHandle self = field.getObjectHandle();
            std::vector<QPDFObjectHandle> widgets{self};
            QPDFObjectHandle kids = self.getKey("/Kids");
            for (int i = 0; kids.isArray() && i < kids.getArrayNItems(); ++i)
                widgets.push_back(kids.getArrayItem(i));
            for (QPDFObjectHandle& widget : widgets) {
                if (!widget.isDictionary() || !widget.getKey("/AS").isName()) continue;
                result.HasValue = true;
                if (result.Value.empty()) result.Value = stateName(widget.getKey("/AS"));
            }
        }
        return result;
    }
    if (field.isText() || field.isChoice()) {
        result.Kind = field.isText() ? TPdfFieldKind::Text : TPdfFieldKind::Choice;
        if (field.isChoice()) result.Options = field.getChoices();
        // A multiple-choice list gives an array; its first choice is the value.
        if (value.isArray() && value.getArrayNItems() > 0) value = value.getArrayItem(0);
        if (value.isString())
            result.Value = value.getUTF8Value();
        else if (value.isName())
            result.Value = value.getName().substr(1);
    }
    return result;
}

} // namespace

std::vector<TPdfFieldValue> ReadPdfFormValues(const std::uint8_t* pdf, std::size_t size) {
    std::vector<TPdfFieldValue> values;
    try {
        QPDF document;
        document.setSuppressWarnings(true);
        document.processMemoryFile("the PDF", reinterpret_cast<const char*>(pdf), size);
        QPDFAcroFormDocumentHelper form(document);
        if (form.hasAcroForm()) {
            std::set<std::string> seen;
            for (QPDFFormFieldObjectHelper& field : form.getFormFields()) {
                TPdfFieldValue value = valueOf(field);
                // A field with several widgets is listed once.
                if (!value.Name.empty() && seen.insert(value.Name).second) values.push_back(std::move(value));
            }
        }
    } catch (const std::exception& error) {
        throw Exception(std::string("not a readable PDF: ") + error.what());
    }
    if (values.empty()) throw Exception("the PDF is no fillable form: it has no form fields");
    return values;
}

} // namespace kovet
