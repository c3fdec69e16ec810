#include "TabOrderDialog.h"

#include "storage/Text1252.h"
#include "widgets/TsvListbox.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace kovet::designer {

namespace {

constexpr QSize kClient{287, 254};
constexpr QSize kButton{75, 25};
constexpr int kLineHeight = 15;

} // namespace

TdlgTabOrder::TdlgTabOrder(QWidget* parent) : QDialog(parent, Qt::Tool), list_(new TsvListbox(this)) {
    setObjectName("dlgTabOrder");
    setWindowTitle("Edit Field Tab Order");
    setModal(true);
    setFixedSize(kClient);
    list_->setObjectName("lbFields");
    list_->setGeometry(8, 16, 177, 185);
    list_->SetItemHeight(kLineHeight);

    const auto button = [this](const char* name, const char* caption, QPoint at) {
        auto* made = new QPushButton(caption, this);
        made->setObjectName(name);
        made->setGeometry({at, kButton});
        return made;
    };
    connect(button("btnTop", "&Top", {200, 32}), &QPushButton::clicked, this,
            [this] { moveChosen(&TTabOrder::MoveToTop); });
    connect(button("btnUp", "&Up", {200, 80}), &QPushButton::clicked, this, [this] { moveChosen(&TTabOrder::MoveUp); });
    connect(button("btnDown", "&Down", {200, 112}), &QPushButton::clicked, this,
            [this] { moveChosen(&TTabOrder::MoveDown); });
    connect(button("btnBottom", "&Bottom", {200, 160}), &QPushButton::clicked, this,
            [this] { moveChosen(&TTabOrder::MoveToBottom); });
    QPushButton* ok = button("btnOK", "&OK", {16, 216});
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(button("btnCancel", "&Cancel", {96, 216}), &QPushButton::clicked, this, &QDialog::reject);
    connect(button("btnSortByTop", "&Sort by top", {200, 216}), &QPushButton::clicked, this, &TdlgTabOrder::sortByTop);
}

void TdlgTabOrder::EditTabOrder(DesignerCore& core) {
    kovet::designer::EditTabOrder(core, order_, [this] {
        fillList();
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        const bool ok = exec() == QDialog::Accepted;
        list_->clear();
        return ok;
    });
}

void TdlgTabOrder::fillList() {
    list_->clear();
    for (std::int32_t i = 0; i < order_.Count(); ++i)
        list_->addItem(QString::fromStdString(Windows1252ToUtf8(order_.Name(i))));
}

void TdlgTabOrder::moveChosen(std::int32_t (TTabOrder::*how)(std::int32_t)) {
    const int from = list_->ItemIndex();
    const int to = (order_.*how)(from);
    if (to != from) list_->Move(from, to);
}

void TdlgTabOrder::sortByTop() {
    order_.SortByTop();
    fillList();
}

} // namespace kovet::designer
