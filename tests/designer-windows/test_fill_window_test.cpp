// The test-fill window on the off-screen platform: its scales, the field data file it saves
// to, and the pages it exports, driven through its menu items as the user drives them.
#include "ExternalTool.h"
#include "designer/ScriptedPrompts.h"
#include "designer/windows/TestFillWindow.h"
#include "image/ImageTestSupport.h"

#include <QDir>
#include <QImageReader>
#include <QScrollArea>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <optional>
#include <sstream>

using namespace kovet;
using namespace kovet::designer;
using namespace kovet::designer::test;
using namespace kovet::test;

namespace {

std::string Read(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}
// A field data file holding the one editable field's value.
std::string Saved(const std::string& customer) {
    return "\x01" + std::string("Customer\r\n") + customer + "\r\n";
}

class TestFill : public ::testing::Test {
protected:
    void SetUp() override {
        AddFields(form, {{.Name = "Customer", .Box = {40, 40, 340, 64}}, {.Name = "Clerk", .ReadOnly = true}});
        window.emplace(form, prompts);
        ShowActive(*window);
    }
    void trigger(const char* name) { window->findChild<QAction*>(name)->trigger(); }
    std::string path(const char* name) const { return folder.filePath(name).toStdString(); }
    TKVTField& customer() { return *window->Image().FieldByName("Customer"); }

    QTemporaryDir folder;
    ScriptedPrompts prompts;
    TKVT form; // a Letter page, 816 x 1056
    std::optional<TdlgTest> window;
};

} // namespace

TEST_F(TestFill, ScaleItemsSizeTheImageAndFollowTheWindow) {
    auto* box = window->findChild<QScrollArea*>("ScrollBox1");
    const QSize client = box->size() - QSize(4, 4);
    const TKVTDisplayOptions scaled =
        OptionBit<TKVTDisplayOptions>(kvtCenter) | OptionBit<TKVTDisplayOptions>(kvtScale);
    const struct {
        const char* item;
        QSize size;
        TKVTDisplayOptions options;
        bool across, down; // the scroll bars shown
    } scales[] = {{"mScreenHeight", client, scaled, false, false},
                  {"m75", {client.width() - 4, 792}, scaled, true, true},
                  {"m150", {1224, 1584}, scaled, true, true},
                  {"m100", {816, 1056}, OptionBit<TKVTDisplayOptions>(kvtAutosize), true, true},
                  {"mScreenWidth", {client.width(), 1056 * client.width() / 816}, scaled, false, true}};
    for (const auto& scale : scales) {
        trigger(scale.item);
        EXPECT_TRUE(window->findChild<QAction*>(scale.item)->isChecked()) << scale.item;
        EXPECT_EQ(window->Image().size(), scale.size) << scale.item;
        EXPECT_EQ(window->Image().DisplayOptions(), scale.options) << scale.item;
        EXPECT_EQ(box->horizontalScrollBarPolicy() == Qt::ScrollBarAsNeeded, scale.across) << scale.item;
        EXPECT_EQ(box->verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded, scale.down) << scale.item;
    }
    trigger("m75");
    EXPECT_EQ(window->Image().GetDrawRect(true).Width(), 612) << "three quarters of the page";
    trigger("mScreenWidth");
    window->showNormal();
    window->resize(500, 400);
    QApplication::processEvents();
    ASSERT_LT(box->width() - 4, client.width());
    EXPECT_EQ(window->Image().width(), box->width() - 4);
    EXPECT_EQ(window->Image().height(), 1056 * (box->width() - 4) / 816);
}

TEST_F(TestFill, SaveAsksForAFileOnceAndLoadingMakesTheLoadedOneCurrent) {
    prompts.FileNames = {std::nullopt, path("a.kvf"), std::nullopt};
    trigger("mSaveFields");
    EXPECT_TRUE(window->FieldFile().empty()) << "cancelled: nothing saved";
    trigger("mSaveFields");
    customer().SetAsString("Ada");
    trigger("mSaveFields");
    EXPECT_EQ(prompts.Dialogs.size(), 2u) << "the second save reuses the name";
    EXPECT_EQ(prompts.Dialogs[1].Title, "Save Field File");
    EXPECT_EQ(Read(path("a.kvf")), Saved("Ada")) << "read-only fields are left out";
    trigger("mSavefieldsAs");
    EXPECT_EQ(prompts.Dialogs[2].Preset, path("a.kvf"));
    EXPECT_TRUE(window->FieldFile().empty()) << "cancelling Save As forgets the file";

    trigger("mClearfields");
    prompts.FileNames = {path("a.kvf")};
    trigger("mLoadFields");
    EXPECT_EQ(customer().AsString(), "Ada");
    EXPECT_EQ(prompts.Dialogs.back().Title, "Open Field File");
    customer().SetAsString("Grace");
    trigger("mSaveFields");
    EXPECT_EQ(Read(path("a.kvf")), Saved("Grace")) << "written back without asking";
}

TEST_F(TestFill, TypedValuesAreSavedAndExported) {
    const QString empty = folder.filePath("empty.gif"), filled = folder.filePath("filled.gif");
    prompts.FileNames = {empty.toStdString(), filled.toStdString(), path("typed.kvf"), path("typed.pdf"),
                         path("form.pdf")};
    trigger("mExportGIF");
    const TRect& at = customer().ScreenRect;
    QTest::mouseClick(&window->Image(), Qt::LeftButton, {}, QPoint(at.Left + 3, at.Top + 3));
    QTest::keyClicks(QApplication::focusWidget(), "Ada Lovelace");
    // Exported while the field's editor is still open.
    trigger("mExportGIF");
    EXPECT_EQ(QImageReader(filled).format(), "gif");
    EXPECT_EQ(QImage(filled).size(), QSize(816, 1056));
    EXPECT_TRUE(QImage(filled) != QImage(empty)) << "the value being typed is on the page";
    trigger("mSaveFields");
    EXPECT_EQ(Read(path("typed.kvf")), Saved("Ada Lovelace"));

    trigger("mExportPDF");
    trigger("mExportFillablePDF");
    EXPECT_TRUE(prompts.Errors.empty());
    EXPECT_EQ(prompts.Dialogs.back().Title, "Export fillable PDF");
    for (const char* pdf : {"typed.pdf", "form.pdf"}) {
        const auto text = Tool("pdftotext " + path(pdf) + " -");
        if (!text) GTEST_SKIP() << "poppler-utils not installed";
        EXPECT_NE(text->find("Ada Lovelace"), std::string::npos) << pdf << ": " << *text;
    }
    const auto fields = Tool("pdftk " + path("form.pdf") + " dump_data_fields_utf8");
    if (!fields) GTEST_SKIP() << "pdftk not installed";
    EXPECT_NE(fields->find("FieldValue: Ada Lovelace"), std::string::npos) << "the value is in its form field";
}

TEST_F(TestFill, FailedWriteKeepsTheOldFileAndIsReported) {
    std::ofstream(path("page.gif")) << "old";
    prompts.FileNames = {path("page.gif")};
    // Tests run as root, so a size limit rather than permissions makes the write fail.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    trigger("mExportGIF");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(prompts.Errors.size(), 1u);
    EXPECT_EQ(Read(path("page.gif")), "old");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_TRUE(window->isVisible());
}
