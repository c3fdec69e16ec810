// The main window as the user meets it, on the off-screen platform: its menus and their keys,
// the buttons, the activation rule of the edit keys, and commands reaching the core.
#include "convert/MetafileBuilder.h"
#include "designer/ScriptedPrompts.h"
#include "designer/windows/Clipboard.h"
#include "designer/windows/MainWindow.h"
#include "widgets/Application.h"

#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

#include <cstdlib>

using namespace kovet;
using namespace kovet::designer;
using namespace kovet::designer::test;
using kovet::test::ShowActive;

namespace {

class Window : public ::testing::Test {
protected:
    Window() : core(prompts, (folder.path() + "/config").toStdString()), window(core, prompts) { core.Start(); }

    QAction* action(const char* name) {
        QAction* found = window.findChild<QAction*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString panel(int n) { return window.findChild<QLabel*>(QString("pnlStatus%1").arg(n))->text(); }

    QTemporaryDir folder;
    ScriptedPrompts prompts;
    DesignerCore core;
    MainWindow window;
};

} // namespace

TEST_F(Window, MenusCarryTheirCaptionsKeysAndStates) {
    EXPECT_EQ(window.windowTitle(), "Kovet 5.5");
    const struct {
        const char* name;
        const char* caption;
        const char* keys;
        bool visible, enabled;
    } items[] = {
        {"mNew", "&New", "Ctrl+N", true, true},
        {"mOpen", "&Open / Import", "Ctrl+O", true, true},
        {"mRevert", "Re&vert", "", true, true},
        {"mSave", "&Save", "Ctrl+S", true, true},
        {"mSaveAs", "Save &As / Export", "", true, true},
        {"mSaveAll", "Save A&ll", "", false, true},
        {"mCloseAll", "Clos&e All", "", false, true},
        {"mPrint", "&Print", "Ctrl+P", true, true},
        {"mExit", "E&xit", "", true, true},
        {"mCut", "Cu&t", "", true, true},
        {"mUndo", "&Undo", "Alt+Backspace", true, false},
        {"mRedo", "&Redo", "Ctrl+Y", true, false},
        {"mTabOrder", "Field Tab &Order", "", true, true},
        {"mScaledPreview", "&Scaled Preview", "", true, true},
        {"mProperties", "&Properties", "F11", true, true},
        {"mAlign", "&Align", "F12", true, true},
        {"mOptimize", "&Optimize KVT", "", true, true},
        {"mPasteAsMetafile", "Paste MS-&Word Form", "", true, true},
        {"mHelpTopics", "Help &Topics", "F1", true, true},
        {"cmdOpenLast", "Open Last KVT", "F5", true, true},
        {"cmdScrollDown", "Scroll down", "PgDown", true, true},
        {"cmdScrollRight", "Scroll right", "Ctrl+PgDown", true, true},
    };
    for (const auto& item : items) {
        QAction* found = action(item.name);
        if (found == nullptr) continue;
        EXPECT_EQ(found->text(), item.caption) << item.name;
        EXPECT_EQ(found->shortcut(), QKeySequence(item.keys)) << item.name;
        EXPECT_EQ(found->isVisible(), item.visible) << item.name;
        // A hidden item reads as disabled.
        EXPECT_EQ(found->isEnabled(), item.enabled && item.visible) << item.name;
    }
    for (const char* surface : {"pProperties", "pText", "pField", "pBringToFront", "pSendToBack", "pCenterToPage",
                                "pTabOrder", "pLeftEdges", "pSpaceVertically"})
        EXPECT_NE(window.findChild<QAction*>(surface), nullptr) << surface;
    for (const char* checked : {"mButtonBar", "mStatusBar", "mRulers", "mBitmap", "mImbeddedFields"})
        EXPECT_TRUE(action(checked)->isChecked()) << checked;
    for (const char* button : {"btnNew", "btnOpen", "btnClose", "btnSave", "btnPrint", "btnProperties", "btnAlign",
                               "btnScale", "btnTest", "btnHelp", "btnExit"})
        EXPECT_NE(window.findChild<QAction*>(button), nullptr) << button;
    EXPECT_EQ(panel(1), "Coords: 0,0");
}

TEST_F(Window, EditKeysBelongToTheFormOnlyWhileTheWindowIsActive) {
    ShowActive(window);
    EXPECT_EQ(action("mCopy")->shortcut(), QKeySequence("Ctrl+C"));
    EXPECT_EQ(action("mDelete")->shortcut(), QKeySequence("Del"));
    QWidget other;
    ShowActive(other);
    EXPECT_TRUE(action("mCopy")->shortcut().isEmpty());
    EXPECT_TRUE(action("mSelectAll")->shortcut().isEmpty());
}

TEST_F(Window, FileCommandsReachTheCoreAndTheWindowFollows) {
    const QString saved = folder.path() + "/form.kvt";
    {
        TKVT form;
        form.KVTFile().Frames.AddEmpty();
        form.SaveToFile(saved.toStdString());
    }
    prompts.FileNames = {saved.toStdString()};
    action("mOpen")->trigger();
    EXPECT_EQ(window.findChild<QTabBar*>("tabFiles")->tabText(0), saved);
    EXPECT_EQ(panel(2), "Objects: 2");
    EXPECT_EQ(panel(3), "Size: " + QString::number(kHeaderSize + kFrameSize));
    QAction* first = action("mHistory1");
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->text(), saved);
    EXPECT_FALSE(action("mHistory2")->isVisible());

    // The preview's button reads "Normal" while it is on; any other command leaves it.
    action("btnScale")->trigger();
    EXPECT_TRUE(action("mScaledPreview")->isChecked());
    EXPECT_EQ(action("btnScale")->text(), "Normal");
    action("mNew")->trigger();
    EXPECT_FALSE(action("mScaledPreview")->isChecked());
    EXPECT_EQ(action("btnScale")->text(), "Scale");
    EXPECT_EQ(window.findChild<QTabBar*>("tabFiles")->tabText(0), "untitled.kvt");

    // A failing command is reported, and the window goes on.
    QFile file(saved);
    file.open(QIODevice::ReadWrite);
    file.seek(kHeaderSize + 8); // the frame's item type
    file.write(QByteArray(4, '\0'));
    file.close();
    prompts.FileNames = {saved.toStdString()};
    action("mOpen")->trigger();
    EXPECT_EQ(prompts.Errors, std::vector<std::string>{"Load: invalid Itemtype"});
    EXPECT_EQ(panel(2), "Objects: 1") << "the records are gone; drawing gives the page its default header";
}

TEST_F(Window, ClosingWithUnsavedChangesAsksAndCancelKeepsTheWindow) {
    ShowActive(window);
    core.Edit("Add", [&] { core.Form().KVTFile().Frames.AddEmpty(); });
    prompts.Answers = {TAnswer::Cancel};
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    prompts.Answers = {TAnswer::No};
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(QFile::exists(folder.path() + "/config/history.dat"));
    EXPECT_TRUE(QFile::exists(folder.path() + "/config/kovet.def"));
}

TEST_F(Window, TheMousePlacesDragsAndResizesOnTheSurface) {
    ShowActive(window);
    QWidget* surface = window.findChild<QWidget*>("imgDesign");
    ASSERT_NE(surface, nullptr);
    action("aFrame")->trigger();
    EXPECT_EQ(surface->cursor().shape(), Qt::DragCopyCursor);
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(100, 100));
    TKVTFile& list = core.Form().KVTFile();
    ASSERT_EQ(list.Count(), 2);
    const auto box = [&] {
        const ConstBytes r = list.Items(1);
        return QRect(ObjectRec::Left.get(r), ObjectRec::Top.get(r), ObjectRec::Width.get(r), ObjectRec::Height.get(r));
    };
    EXPECT_EQ(box(), QRect(100, 100, 100, 100));

    // The new frame is selected: a press on it and a move drag it.
    QTest::mouseMove(surface, QPoint(150, 150));
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(150, 150));
    QTest::mouseMove(surface, QPoint(170, 160));
    QTest::mouseMove(surface, QPoint(200, 180));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(200, 180));
    EXPECT_EQ(box(), QRect(150, 130, 100, 100));
    // Its bottom-right handle makes it larger.
    QTest::mouseMove(surface, QPoint(249, 229));
    EXPECT_EQ(surface->cursor().shape(), Qt::SizeFDiagCursor);
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(249, 229));
    QTest::mouseMove(surface, QPoint(300, 260));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(300, 260));
    EXPECT_EQ(box(), QRect(150, 130, 150, 130));

    EXPECT_EQ(action("mUndo")->text(), "&Undo Resize");
    action("mUndo")->trigger();
    EXPECT_EQ(box(), QRect(150, 130, 100, 100));
    EXPECT_EQ(action("mRedo")->text(), "&Redo Resize");
    // The keyboard moves the selection.
    QTest::keyClick(&window, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(box().left(), 158);
}

TEST_F(Window, ObjectsTravelBetweenDesignersOnTheSystemClipboard) {
    ShowActive(window);
    core.Edit("Add", [&] {
        const Bytes frame = core.Form().KVTFile().Frames.AddEmpty();
        ObjectRec::Width.set(frame, 40);
        ObjectRec::Height.set(frame, 30);
        core.Selection().SelectObject(core.Form().KVTFile(), ItemHeader::ID.get(frame));
    });
    action("mCopy")->trigger();
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(copied->hasFormat(kRecordsMimeType));
    EXPECT_EQ(qvariant_cast<QImage>(copied->imageData()).size(), QSize(40, 30)) << "a picture for other programs";

    // Records another designer put there are pasted; this one's own come from its copy buffer.
    auto* foreign = new QMimeData;
    foreign->setData(kRecordsMimeType, copied->data(kRecordsMimeType));
    foreign->setData("application/x-kovet-owner", "another designer");
    core.ClipList().Clear();
    QGuiApplication::clipboard()->setMimeData(foreign);
    action("mPaste")->trigger();
    ASSERT_EQ(core.Form().KVTFile().Count(), 3);
    EXPECT_EQ(ObjectRec::Left.get(core.Form().KVTFile().Items(2)), 8);
    EXPECT_EQ(action("mUndo")->text(), "&Undo Paste");
}

TEST_F(Window, AWordFormOnTheClipboardPastesFromTheToolsMenu) {
    ::setenv("TMPDIR", folder.path().toLocal8Bit().constData(), 1);
    kovet::test::MetafileBuilder emf;
    emf.Box(EMR_RECTANGLE, {100, 200, 299, 299}).MoveTo(0, 0).LineTo(300, 0);
    const std::vector<std::uint8_t> bytes = emf.Finish();
    // As LibreOffice offers a drawing it copied.
    auto* offered = new QMimeData;
    offered->setData(R"(application/x-openoffice-emf;windows_formatname="Image EMF")",
                     QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    QGuiApplication::clipboard()->setMimeData(offered);
    prompts.Answers = {TAnswer::No};
    action("mPasteAsMetafile")->trigger();
    EXPECT_EQ(prompts.Questions, std::vector<std::string>{"Clear existing objects?"});
    ASSERT_EQ(core.Form().KVTFile().Count(), 3);
    EXPECT_EQ(ObjectRec::Left.get(core.Form().KVTFile().Items(1)), 33);
    EXPECT_EQ(ObjectRec::Width.get(core.Form().KVTFile().Items(2)), 99);
    EXPECT_EQ(action("mUndo")->text(), "&Undo Import metafile");
    EXPECT_TRUE(QFile::exists(folder.path() + "/kvtemp.emf"));

    QGuiApplication::clipboard()->setText("no metafile");
    action("mPasteAsMetafile")->trigger();
    EXPECT_EQ(prompts.Errors, std::vector<std::string>{kNoClipboardMetafileMessage});
    EXPECT_EQ(core.Form().KVTFile().Count(), 3);
    ::unsetenv("TMPDIR");
}

TEST_F(Window, TheSurfaceMenuAlignsTheSelection) {
    core.Edit("Add", [&] {
        for (const std::int16_t left : {40, 10}) {
            const Bytes frame = core.Form().KVTFile().Frames.AddEmpty();
            ObjectRec::Left.set(frame, left);
            ObjectRec::Width.set(frame, 20);
            core.Selection().SelectObject(core.Form().KVTFile(), ItemHeader::ID.get(frame));
        }
    });
    action("pLeftEdges")->trigger();
    for (std::int32_t i = 1; i <= 2; ++i)
        EXPECT_EQ(ObjectRec::Left.get(core.Form().KVTFile().Items(i)), 40) << i;
    EXPECT_EQ(action("mUndo")->text().toStdString().rfind("&Undo", 0), 0u);
}

TEST_F(Window, ThePropertiesWindowTogglesAndFollowsTheSelection) {
    ShowActive(window);
    auto* properties = window.findChild<QWidget*>("fmProp");
    ASSERT_NE(properties, nullptr);
    EXPECT_FALSE(properties->isVisible()) << "created hidden";
    // The tool windows first appear at the main window's right edge, not over the page.
    action("mAlign")->trigger();
    action("mProperties")->trigger();
    const QRect main = window.frameGeometry(), screen = window.screen()->availableGeometry();
    for (QWidget* tool : {properties, window.findChild<QWidget*>("fmAlign")}) {
        const QRect at = tool->frameGeometry();
        EXPECT_TRUE(at.left() == main.right() + 1 || at.right() == screen.right()) << tool->objectName().toStdString();
        EXPECT_TRUE(at.top() == main.top() || at.bottom() == main.bottom()) << tool->objectName().toStdString();
    }
    action("mAlign")->trigger();
    action("mProperties")->trigger();
    for (const char* name : {"mProperties", "btnProperties", "pProperties", "cmdProperties"}) {
        action(name)->trigger();
        EXPECT_TRUE(properties->isVisible()) << name;
        action(name)->trigger();
        EXPECT_FALSE(properties->isVisible()) << name;
    }
    EXPECT_EQ(action("cmdProperties")->shortcut(), QKeySequence("Ctrl+Return"));

    action("mProperties")->trigger();
    auto* book = properties->findChild<QStackedWidget*>("NB");
    EXPECT_EQ(book->currentWidget()->objectName(), "Page");
    core.Edit("Add", [&] {
        const Bytes frame = core.Form().KVTFile().Frames.AddEmpty();
        core.Selection().SelectObject(core.Form().KVTFile(), ItemHeader::ID.get(frame));
    });
    EXPECT_EQ(book->currentWidget()->objectName(), "Frame");
    core.Selection().Clear();
    core.SelectionChanged();
    EXPECT_EQ(book->currentWidget()->objectName(), "Page");

    // A double click selects the object under it and brings the window up, showing it.
    action("mProperties")->trigger();
    ASSERT_FALSE(properties->isVisible());
    core.Edit("Place", [&] {
        const Bytes frame = core.Form().KVTFile().Items(1);
        ObjectRec::Left.set(frame, 100), ObjectRec::Top.set(frame, 100);
        ObjectRec::Width.set(frame, 50), ObjectRec::Height.set(frame, 50);
    });
    QTest::mouseDClick(window.findChild<QWidget*>("imgDesign"), Qt::LeftButton, {}, QPoint(120, 120));
    EXPECT_TRUE(properties->isVisible());
    EXPECT_EQ(book->currentWidget()->objectName(), "Frame");
}

TEST_F(Window, OptionsOkStoresTheDialogIntoTheDefaults) {
    ShowActive(window);
    QTimer::singleShot(0, &window, [&] {
        auto* dialog = window.findChild<QDialog*>("dlgOptions");
        ASSERT_TRUE(dialog->isVisible());
        auto* thickness = dialog->findChild<QLineEdit*>("fr_Thick");
        thickness->clear();
        QTest::keyClicks(thickness, "6");
        dialog->accept();
    });
    action("mOptions")->trigger();
    EXPECT_EQ(FrameRec::Thickness.get(core.Defaults().Frame()), 6);
}
