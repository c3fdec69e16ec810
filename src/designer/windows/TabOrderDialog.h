#pragma once

// TdlgTabOrder: "Edit Field Tab Order", the fields listed in their fill-in order, rearranged by
// hand or by position on the page; OK renumbers them in the order shown.

#include "designer/core/TabOrder.h"

#include <QDialog>

namespace kovet {
class TsvListbox;
}

namespace kovet::designer {

class TdlgTabOrder : public QDialog {
public:
    explicit TdlgTabOrder(QWidget* parent = nullptr);

    // Edit > Field Tab Order and the surface menu's item: the dialog, modal, on the open form.
    void EditTabOrder(DesignerCore& core);

private:
    void fillList();
    // The buttons that move the chosen line: each moves the entry and its line alike.
    void moveChosen(std::int32_t (TTabOrder::*how)(std::int32_t));
    void sortByTop();

    TTabOrder order_;
    TsvListbox* list_;
};

} // namespace kovet::designer
