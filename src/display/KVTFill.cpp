// Filling a form in: the fields over the page, the one open editor, moving between fields,
// and the field values as data.

#include "KVTCheckBox.h"
#include "KVTEdit.h"
#include "KVTImage.h"
#include "Painter.h"
#include "platform/QtCanvas.h"
#include "platform/QtTextMetrics.h"
#include "storage/Text1252.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTextCursor>

namespace kovet {
namespace {

// The memo's lines; a line break at the very end starts no further line.
std::vector<std::string> splitLines(const QString& text) {
    std::vector<std::string> lines;
    if (text.isEmpty()) return lines;
    for (const QString& line : text.split('\n'))
        lines.push_back(line.toStdString());
    if (text.endsWith('\n')) lines.pop_back();
    return lines;
}

QString joinLines(const std::vector<std::string>& lines) {
    QStringList list;
    for (const std::string& line : lines)
        list << QString::fromStdString(line);
    return list.join('\n');
}

// Room kept around an editor scrolled into view, so that it does not sit on the very edge.
constexpr int kScrollMargin = 16;

bool isNumberOrDateFormat(TKVTFieldFormat format) {
    return format >= lfoReal && format <= lfoMTime;
}

} // namespace

TKVTImage::TKVTImage(QWidget* parent) : TCustomKVTImage(parent) {
    // The image holds the keyboard between editors, so that Tab goes on from the current field.
    // It takes the focus by Tab or by a click of its own (mousePressEvent), not by Qt's click
    // focus, which would take it from an open editor at a click beside the fields.
    setFocusPolicy(Qt::TabFocus);
    RebuildFields();
}

TKVTImage::~TKVTImage() {
    closeField(false);
    // The form's change notification must not reach a half-destroyed image.
    form().OnChange = nullptr;
}

TKVTField* TKVTImage::Fields(std::int32_t i) const {
    return i >= 0 && i < FieldCount() ? fields_[std::size_t(i)].get() : nullptr;
}

TKVTField* TKVTImage::FieldByName(std::string_view name) const {
    for (const auto& field : fields_)
        if (SameText(field->Name, name)) return field.get();
    return nullptr;
}

std::vector<TKVTField*> TKVTImage::fieldPointers() const {
    std::vector<TKVTField*> pointers;
    pointers.reserve(fields_.size());
    for (const auto& field : fields_)
        pointers.push_back(field.get());
    return pointers;
}

void TKVTImage::RebuildFields() {
    CloseField();
    ++generation_;
    current_ = nullptr;
    siblings_.clear();
    fields_ = FormFields(form());
    for (const auto& field : fields_) {
        field->Image = this;
        field->Siblings = &siblings_;
        field->Metrics = &metrics_;
        field->OnDataChange = [this](TKVTLabel& label) { repaintField(static_cast<TKVTField&>(label)); };
        field->OnRepaint = field->OnDataChange;
        siblings_.push_back(field.get());
    }
    lastScale_ = 1.0f;
    lastOrigin_ = {};
}

void TKVTImage::RescaleFields() {
    CloseField();
    const TRect r = GetDrawRect(true);
    const float s = ScreenScale();
    for (const auto& field : fields_) {
        const std::int32_t left = Scaled(field->Left, s) + r.Left, top = Scaled(field->Top, s) + r.Top;
        field->ScreenRect = {left, top, left + Scaled(field->Width, s), top + Scaled(field->Height, s)};
        field->ScreenFontHeight = Scaled(field->Font.Height, s);
    }
}

void TKVTImage::syncScale() {
    // The fields' screen rectangles follow the page's scale and its place on the widget.
    const float s = ScreenScale();
    const TRect r = GetDrawRect(true);
    if (s == lastScale_ && r.Left == lastOrigin_.X && r.Top == lastOrigin_.Y) return;
    RescaleFields();
    lastScale_ = s;
    lastOrigin_ = {r.Left, r.Top};
}

void TKVTImage::Invalidate() {
    syncScale();
    TCustomKVTImage::Invalidate();
}

void TKVTImage::DrawFields(Canvas& canvas, const TRect& rect, bool outline) {
    syncScale();
    const float s = form().ScaleFor(rect);
    for (const auto& field : fields_) {
        const std::int32_t left = Scaled(field->Left, s) + rect.Left;
        const std::int32_t top = Scaled(field->Top, s) + rect.Top;
        DrawControl(canvas, {field.get(), nullptr}, outline, s,
                    {left, top, left + Scaled(field->Width, s), top + Scaled(field->Height, s)});
    }
}

void TKVTImage::repaintField(const TKVTField& field) {
    if (updating_) return;
    if (HasOption(DisplayOptions(), kvtDoublebuffer)) {
        // The values are part of the off-screen page: it has to be drawn again.
        TCustomKVTImage::Invalidate();
        return;
    }
    const float s = ScreenScale();
    const TRect r = GetDrawRect(true);
    const std::int32_t left = Scaled(field.Left, s) + r.Left, top = Scaled(field.Top, s) + r.Top;
    const std::int32_t right = Scaled(field.Left + field.Width, s) + r.Left;
    const std::int32_t bottom = Scaled(field.Top + field.Height, s) + r.Top;
    update(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
}

void TKVTImage::Reload() {
    RebuildFields();
    RescaleFields();
    TCustomKVTImage::Invalidate();
}

void TKVTImage::mousePressEvent(QMouseEvent* event) {
    TCustomKVTImage::mousePressEvent(event);
    if (editor_ == nullptr) setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    for (const auto& field : fields_) {
        TRect hit = field->ScreenRect;
        if (field->Format() == lfoCheckbox) hit.Right = hit.Left + 15;
        if (p.x() < hit.Left || p.x() >= hit.Right || p.y() < hit.Top || p.y() >= hit.Bottom) continue;
        event->accept();
        if (field->ReadOnly) return;
        OpenField(field.get());
        if (auto* box = dynamic_cast<TKVTCheckBox*>(editor_);
            box != nullptr && current_ == field.get() && field->Format() == lfoCheckbox)
            box->Click();
        return;
    }
}

void TKVTImage::OpenField(TKVTField* field) {
    if (field == nullptr) return;
    const std::uint64_t generation = generation_;
    CloseField();
    // A handler of the closed field's exit may have rebuilt the fields or opened another.
    if (generation != generation_ || editor_ != nullptr) return;
    current_ = field;
    const TKVTFieldFormat format = field->Format();

    TFont font = field->Font;
    font.Height = field->ScreenFontHeight;
    const QFont qfont = ToQFont(font);
    const TRect& box = field->ScreenRect;
    // In the field's box; an edit or combo box whose own height (for the field's font)
    // differs is centred on the field.
    const auto place = [&](QWidget* editor, bool ownHeight) {
        editor->setFont(qfont);
        QRect bounds(box.Left, box.Top, box.Width(), box.Height());
        const int height = editor->sizeHint().height();
        if (field->CtlBorder && ownHeight && height != box.Height()) {
            bounds.setTop(box.Top + (box.Height() - height) / 2);
            bounds.setHeight(height);
        }
        editor->setGeometry(bounds);
    };
    const auto colour = [&](QWidget* editor) {
        QPalette palette = editor->palette();
        palette.setColor(QPalette::Base, ToQColor(field->CtlColor));
        palette.setColor(QPalette::Text, ToQColor(field->Font.Color));
        editor->setPalette(palette);
    };

    // The editor is the image's before the field's value goes in, so that loading a value
    // already reports a change.
    QWidget* editor = nullptr;
    switch (format) {
    case lfoCheckbox: {
        auto* check = new TKVTCheckBox(this);
        editor_ = editor = check;
        check->hide();
        check->setFont(qfont);
        check->setGeometry(box.Left, box.Top, 15, box.Height());
        check->SetAutoSize(false);
        check->SetCaption("");
        check->SetBoxColor(field->CtlColor);
        if (!field->CtlBorder) check->SetCheckStyle(csFlatThickCross);
        check->OnChange = [this](TKVTCheckBox&) { editorChanged(); };
        check->SetChecked(field->Checked());
        break;
    }
    case lfoComboBox: {
        auto* combo = new QComboBox(this);
        editor_ = editor = combo;
        combo->hide();
        combo->setEditable(true);
        colour(combo);
        place(combo, true);
        if (!field->CtlBorder) combo->setFrame(false);
        for (const std::string& item : field->Lines())
            combo->addItem(QString::fromStdString(item));
        combo->setCurrentIndex(-1);
        connect(combo, &QComboBox::editTextChanged, this, [this] { editorChanged(); });
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { editorChanged(); });
        combo->setEditText(QString::fromStdString(field->DisplayText()));
        // The limit is on typing: a longer value already there stays whole.
        if (field->MaxLength > 0)
            combo->lineEdit()->setMaxLength(std::max<int>(field->MaxLength, int(combo->currentText().size())));
        break;
    }
    case lfoMemo: {
        auto* memo = new QPlainTextEdit(this);
        editor_ = editor = memo;
        memo->hide();
        colour(memo);
        place(memo, false);
        if (!field->CtlBorder) memo->setFrameStyle(QFrame::NoFrame);
        memo->setTabChangesFocus(true);
        connect(memo, &QPlainTextEdit::textChanged, this, [this, memo, max = field->MaxLength] {
            // Typing or pasting beyond the limit keeps the text up to the limit.
            if (max > 0 && memo->document()->characterCount() - 1 > max) {
                const QSignalBlocker quiet(memo);
                QTextCursor cursor = memo->textCursor();
                cursor.setPosition(max);
                cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
                cursor.removeSelectedText();
                memo->setTextCursor(cursor);
            }
            editorChanged();
        });
        memo->setPlainText(joinLines(field->Lines()));
        break;
    }
    default: {
        auto* edit = new TKVTEdit(this);
        editor_ = editor = edit;
        edit->hide();
        edit->SetColor(field->CtlColor);
        edit->SetFontColor(field->Font.Color);
        place(edit, true);
        if (!field->CtlBorder) edit->SetFlat(true);
        edit->OnChange = [this](TKVTEdit&) { editorChanged(); };
        edit->SetFormat(format);
        edit->SetMaxLength(field->MaxLength);
        edit->SetDecimals(field->Decimals());
        edit->SetDigits(field->Digits());
        if (isNumberOrDateFormat(format))
            edit->SetValue(field->Value());
        else
            edit->SetText(field->DisplayText());
        // Typing replaces the whole text, also before the edit has seen its focus arrive.
        edit->selectAll();
        break;
    }
    }
    editor->setFocusPolicy(Qt::ClickFocus);

    if (OnFieldControlCreate) {
        QWidget* control = editor;
        OnFieldControlCreate(*this, *field, control);
        if (control != editor && control != nullptr) {
            disconnect(editor, nullptr, this, nullptr);
            delete editor;
            editor_ = editor = control;
        }
    }
    watchEditor(editor);
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    scrollIntoView(editor);
}

void TKVTImage::scrollIntoView(QWidget* editor) {
    // Nobody should type into an editor they cannot see.
    QScrollArea* scroll = nullptr;
    for (QWidget* ancestor = parentWidget(); ancestor != nullptr && scroll == nullptr;
         ancestor = ancestor->parentWidget())
        scroll = qobject_cast<QScrollArea*>(ancestor);
    if (scroll == nullptr || scroll->widget() == nullptr || !scroll->widget()->isAncestorOf(editor)) return;
    // The whole editor: ensureWidgetVisible would bring in only a line edit's text cursor and
    // leave the rest of a field near the right edge outside. The far corner first, so that an
    // editor larger than the view shows its top left.
    const QRect box(editor->mapTo(scroll->widget(), QPoint(0, 0)), editor->size());
    scroll->ensureVisible(box.right(), box.bottom(), kScrollMargin, kScrollMargin);
    scroll->ensureVisible(box.left(), box.top(), kScrollMargin, kScrollMargin);
}

void TKVTImage::watchEditor(QWidget* widget) {
    widget->installEventFilter(this);
    // The editor's inner widgets (a combo box's line edit), but not its pop-ups (the combo
    // box's list, where Enter picks an item).
    for (QWidget* child : widget->findChildren<QWidget*>())
        if (child->window() == widget->window()) child->installEventFilter(this);
}

void TKVTImage::editorChanged() {
    if (current_ == nullptr || editor_ == nullptr) return;
    if (OnFieldChange) OnFieldChange(*this, *current_, editor_);
    if (dynamic_cast<TKVTCheckBox*>(editor_) == nullptr || current_->GroupIndex <= 0) return;
    for (const auto& field : fields_)
        if (field->GroupIndex == current_->GroupIndex && field->Checked()) field->SetChecked(false);
}

void TKVTImage::CloseField() {
    closeField(true);
}

void TKVTImage::closeField(bool writeBack) {
    if (editor_ == nullptr || closing_) return;
    closing_ = true;
    QWidget* editor = editor_;
    if (writeBack && current_ != nullptr) {
        TKVTField& field = *current_;
        const TKVTFieldFormat format = field.Format();
        auto* edit = dynamic_cast<TKVTEdit*>(editor);
        if (format == lfoCheckbox) {
            if (auto* box = dynamic_cast<TKVTCheckBox*>(editor)) field.SetChecked(box->Checked());
        } else if (format == lfoComboBox) {
            if (auto* combo = dynamic_cast<QComboBox*>(editor)) {
                field.ItemIndex = combo->currentIndex();
                field.SetStringValue(combo->currentText().toStdString());
            }
        } else if (format == lfoMemo) {
            if (auto* memo = dynamic_cast<QPlainTextEdit*>(editor)) field.SetLines(splitLines(memo->toPlainText()));
        } else if (edit != nullptr) {
            edit->Commit();
            if (isNumberOrDateFormat(format))
                field.SetValue(edit->Value());
            else
                field.SetStringValue(edit->Text());
        }
    }
    // From here the image has no editor: the exit handler may open another field.
    editor_ = nullptr;
    editor->removeEventFilter(this);
    for (QWidget* child : editor->findChildren<QWidget*>())
        child->removeEventFilter(this);
    disconnect(editor, nullptr, this, nullptr);
    if (auto* edit = dynamic_cast<TKVTEdit*>(editor)) edit->OnChange = nullptr;
    if (auto* box = dynamic_cast<TKVTCheckBox*>(editor)) box->OnChange = nullptr;
    // The keyboard stays with the image, not with whatever widget of the window Qt would pick
    // when the editor hides; a focus the user has given to another widget stays there.
    const QWidget* focus = window()->focusWidget();
    if (writeBack && (focus == nullptr || focus == editor || editor->isAncestorOf(focus)))
        setFocus(Qt::OtherFocusReason);
    editor->hide();
    // The editor may be in the middle of its own event (a key or its loss of focus).
    editor->deleteLater();
    closing_ = false;
    if (writeBack && current_ != nullptr && OnFieldExit) OnFieldExit(*this, *current_);
}

void TKVTImage::NextField() {
    moveField(true);
}

void TKVTImage::PriorField() {
    moveField(false);
}

void TKVTImage::moveField(bool forward) {
    if (current_ == nullptr || current_->TabOrder < 0) return;
    const std::uint64_t generation = generation_;
    CloseField();
    if (generation != generation_ || editor_ != nullptr || current_ == nullptr) return;
    OpenField(tabNeighbour(current_, forward));
}

TKVTField* TKVTImage::tabNeighbour(const TKVTField* from, bool forward) const {
    // Going back is going forward over negated tab orders, so one scan serves both ways.
    const auto key = [forward](const TKVTField& field) { return forward ? field.TabOrder : -field.TabOrder; };
    TKVTField *first = nullptr, *next = nullptr;
    std::int32_t firstKey = 32767, nextKey = 32767;
    for (const auto& field : fields_) {
        if (field.get() == from || field->ReadOnly || field->TabOrder < 0) continue;
        const std::int32_t k = key(*field);
        if (k < firstKey) {
            first = field.get();
            firstKey = k;
        }
        if (from != nullptr && k > key(*from) && k < nextKey) {
            next = field.get();
            nextKey = k;
            if (nextKey == key(*from) + 1) break;
        }
    }
    return next != nullptr ? next : first;
}

bool TKVTImage::eventFilter(QObject* watched, QEvent* event) {
    if (editor_ == nullptr) return TCustomKVTImage::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        const int key = keyEvent->key();
        // Shift is held when its key went down, or when a key comes with it.
        shiftHeld_ = key == Qt::Key_Shift || keyEvent->modifiers().testFlag(Qt::ShiftModifier);
        if (key == Qt::Key_Escape) {
            CloseField();
            return true;
        }
        const bool memoLine =
            (key == Qt::Key_Return || key == Qt::Key_Enter) && dynamic_cast<QPlainTextEdit*>(editor_) != nullptr;
        if (!memoLine && moveByKey(key, shiftHeld_)) return true;
        break;
    }
    case QEvent::KeyRelease:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Shift) shiftHeld_ = false;
        break;
    case QEvent::FocusOut: {
        // Leaving the editor closes it, once its own focus handling is over. Another window
        // taking over, and the editor's own pop-ups, leave it open.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) break;
        QMetaObject::invokeMethod(
            this,
            [this, editor = QPointer<QWidget>(editor_)] {
                if (editor == nullptr || editor != editor_) return;
                const QWidget* focus = QApplication::focusWidget();
                if (focus != nullptr && (focus == editor || editor->isAncestorOf(focus))) return;
                CloseField();
            },
            Qt::QueuedConnection);
        break;
    }
    default: break;
    }
    return TCustomKVTImage::eventFilter(watched, event);
}

bool TKVTImage::event(QEvent* event) {
    // Qt's focus chain would take Tab and Shift+Tab before keyPressEvent sees them.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (moveByKey(key->key(), key->modifiers().testFlag(Qt::ShiftModifier))) return true;
    }
    return TCustomKVTImage::event(event);
}

bool TKVTImage::moveByKey(int key, bool shift) {
    if (key != Qt::Key_Tab && key != Qt::Key_Backtab && key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    const bool back = shift || key == Qt::Key_Backtab;
    if (current_ == nullptr) {
        // Before any field was visited, Tab starts at the first field in tab order and
        // Shift+Tab at the last: where going round the form would arrive.
        OpenField(tabNeighbour(nullptr, !back));
    } else if (back) {
        PriorField();
    } else {
        NextField();
    }
    return true;
}

std::vector<std::string> TKVTImage::SaveFieldStrings() {
    CloseField();
    return kovet::SaveFieldStrings(fieldPointers(), SaveReadOnlyFields);
}

void TKVTImage::SaveFieldData(const std::filesystem::path& fileName) {
    WriteFieldDataFile(fileName, SaveFieldStrings());
}

std::vector<std::string> TKVTImage::LoadFieldStrings(std::span<const std::string> lines) {
    CloseField();
    updating_ = true;
    std::vector<std::string> notes;
    try {
        notes = kovet::LoadFieldStrings(fieldPointers(), lines);
    } catch (...) {
        updating_ = false;
        Invalidate();
        throw;
    }
    updating_ = false;
    Invalidate();
    return notes;
}

std::vector<std::string> TKVTImage::LoadFieldData(const std::filesystem::path& fileName) {
    return LoadFieldStrings(ReadFieldDataFile(fileName));
}

} // namespace kovet
