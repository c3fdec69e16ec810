#include "TsvListbox.h"

#include <QStyledItemDelegate>

namespace kovet {

namespace {

// Lines as high as the list says, whatever the font would make of them.
class FixedHeightDelegate : public QStyledItemDelegate {
public:
    explicit FixedHeightDelegate(TsvListbox* list) : QStyledItemDelegate(list), list_(*list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), list_.ItemHeight()};
    }

private:
    const TsvListbox& list_;
};

} // namespace

TsvListbox::TsvListbox(QWidget* parent) : QListWidget(parent), itemHeight_(fontMetrics().height()) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setItemDelegate(new FixedHeightDelegate(this));
}

void TsvListbox::SetItemHeight(int height) {
    itemHeight_ = height;
    // The view keeps the sizes it measured until its layout is redone.
    doItemsLayout();
}

int TsvListbox::ItemIndex() const {
    const QList<QListWidgetItem*> chosen = selectedItems();
    return chosen.isEmpty() ? -1 : row(chosen.front());
}

void TsvListbox::SetItemIndex(int index) {
    setCurrentRow(index, index < 0 ? QItemSelectionModel::Clear : QItemSelectionModel::ClearAndSelect);
}

void TsvListbox::Move(int from, int to) {
    const int chosen = ItemIndex();
    const QListWidgetItem* chosenLine = chosen < 0 ? nullptr : item(chosen);
    insertItem(to, takeItem(from));
    SetItemIndex(chosenLine == nullptr ? -1 : row(chosenLine));
}

} // namespace kovet
