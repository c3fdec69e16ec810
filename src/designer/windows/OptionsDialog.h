#pragma once

// TdlgOptions: "Options", the user's options and the defaults of new objects. The dialog edits a
// copy of the defaults record: OK (or Enter) stores the controls into the record, which new
// objects use at once and the designer writes at exit; Cancel, Escape and the close box leave
// the record as it was when the dialog opened.

#include "designer/core/OptionEdits.h"

#include <QDialog>

#include <memory>

class QButtonGroup;
class QCheckBox;

namespace kovet {
class TKVTEdit;
}

namespace kovet::designer {

class ObjectPages;

class TdlgOptions : public QDialog {
public:
    TdlgOptions(DesignerCore& core, Prompts& prompts, QWidget* parent = nullptr);
    ~TdlgOptions() override;

    // The Options menu: the dialog, modal; true when it was left with OK.
    bool EditOptions();

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildGeneral();
    QWidget* buildDefaults();
    void load();
    void restoreDefaults();
    // The controls into values_; false (and said) when a colour box names no colour.
    bool read();
    void chooseFont(TFontChoice& font);

    DesignerCore& core_;
    Prompts& prompts_;
    std::unique_ptr<ObjectPages> pages_;
    // The record the dialog edits, and what it shows of it.
    TKVTDefaults working_;
    TOptionValues values_;
    QButtonGroup* units_ = nullptr;
    QCheckBox *ckStartMaximized_ = nullptr, *ckColor_ = nullptr, *ckShading_ = nullptr, *ckExactDPI_ = nullptr,
              *ckExactMargins_ = nullptr;
    TKVTEdit* eMS_ = nullptr;
};

} // namespace kovet::designer
