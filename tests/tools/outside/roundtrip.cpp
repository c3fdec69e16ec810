// Runs the plug-in library on a form: roundtrip FORM.kvt OUT.pdf prints the number of fields
// and exits with the number of values that did not come back from the fillable PDF.
#include <QApplication>

#include <cstdio>

extern "C" int formplugin_fields(const char* form);
extern "C" int formplugin_roundtrip(const char* form, const char* pdf);

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    QApplication app(argc, argv);
    std::printf("%d fields\n", formplugin_fields(argv[1]));
    return formplugin_roundtrip(argv[1], argv[2]);
}
