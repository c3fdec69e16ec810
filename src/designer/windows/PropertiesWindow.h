#pragma once

// TfmProp: the properties window, a small tool window on top of the designer. It shows the
// properties of the selection (the page when nothing is selected) and writes a control's value
// into the selected records when the control is left, changed or confirmed with Enter; with
// several objects selected only Enter writes. Every write is one undo step of the core.

#include "designer/core/PropertyEdits.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QMenu;
class QStackedWidget;

namespace kovet {
class TsvEdit;
}

namespace kovet::designer {

class ObjectPages;
struct ColorButton;

class TfmProp : public QWidget {
public:
    using Runner = std::function<void(const std::function<void()>& command)>;

    // `parent` is the designer's main window, which the window stays on top of; `run` runs
    // the commands that change the form as the owner runs them (reporting a failure).
    TfmProp(DesignerCore& core, Prompts& prompts, Runner run, QWidget* parent);
    ~TfmProp() override;

    // View > Properties, F11, the Properties button and the surface menu: shows the window
    // when hidden, hides it when shown.
    void Toggle();
    // Loads the controls from the selection; the owner calls it after every redraw of the
    // design while the window is visible.
    void Refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct PositionBox {
        TsvEdit* Box;
        TProperty Property;
        std::int32_t TPropertyValues::*Value;
    };

    void buildTop();
    void buildMemoPopup();
    void connectControls();
    // Writes one control's value; `withEnter` when Enter, a menu item or a button asked for it.
    void apply(TProperty property, bool withEnter);
    // The control's value into values_; what to tell the user when it holds none.
    QString read(TProperty property);
    void followFormat();
    void chooseFont(TProperty property);
    void chooseColor(const ColorButton& button);
    void runButton(const std::function<void()>& command);
    std::optional<TProperty> propertyOf(const QObject* control) const;

    DesignerCore& core_;
    Prompts& prompts_;
    Runner run_;
    std::unique_ptr<ObjectPages> pages_;
    std::array<PositionBox, 4> position_{};
    QLabel *labID_ = nullptr, *labTab_ = nullptr, *labEnter_ = nullptr;
    QStackedWidget* book_ = nullptr;
    QMenu* memoPopup_ = nullptr;
    TPropertyValues values_;
    // Controls loaded by Refresh say nothing.
    bool loading_ = false;
    bool applying_ = false;
};

} // namespace kovet::designer
