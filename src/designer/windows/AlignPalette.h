#pragma once

// TfmAlign: the alignment palette, a small tool window that floats above the designer with one
// button per alignment command. The palette does not run a command itself: it hands it to the
// runner its owner gives, so that the owner decides how commands run (reporting a failure,
// leaving the scaled preview or not).

#include <QWidget>

#include <functional>

namespace kovet::designer {

class DesignerCore;

class TfmAlign : public QWidget {
public:
    using Runner = std::function<void(const std::function<void()>& command)>;

    // `parent` is the designer's main window, which the palette stays on top of.
    TfmAlign(DesignerCore& core, Runner run, QWidget* parent);

    // View > Align and the Align button: shows the palette when hidden, hides it when shown.
    void Toggle();

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace kovet::designer
