#pragma once

// TsvListbox: a list of lines with a fixed line height, at most one chosen line, and lines
// that move to another place as a whole.

#include <QListWidget>

namespace kovet {

class TsvListbox : public QListWidget {
public:
    explicit TsvListbox(QWidget* parent = nullptr);

    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);

    // The chosen line, or -1 when none is.
    int ItemIndex() const;
    // -1 chooses none.
    void SetItemIndex(int index);

    // Takes line `from` out and puts it in at `to`; the lines between shift by one. The line
    // that was chosen stays chosen, wherever it is now.
    void Move(int from, int to);

private:
    int itemHeight_;
};

} // namespace kovet
