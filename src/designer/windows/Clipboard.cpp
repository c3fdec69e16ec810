#include "Clipboard.h"

#include "display/Painter.h"
#include "platform/QtCanvas.h"
#include "storage/Stream.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <algorithm>

namespace kovet::designer {
namespace {

// Which program put the records there: this one's are taken from its own copy buffer.
constexpr char kOwnerMimeType[] = "application/x-kovet-owner";

QByteArray owner() {
    return QByteArray::number(QCoreApplication::applicationPid());
}

// The objects as they print, cut to the box around them.
QImage picture(const TKVTFile& records, TKVT& form) {
    TKVT shown;
    shown.KVTFile().Update(form.KVTFile().Items(0), 0);
    TRect bounds{32767, 32767, -32768, -32768};
    for (std::int32_t i = 0; i < records.Count(); ++i) {
        const ConstBytes r = records.Items(i);
        shown.KVTFile().Add(r);
        bounds = {std::min(bounds.Left, std::int32_t(ObjectRec::Left.get(r))),
                  std::min(bounds.Top, std::int32_t(ObjectRec::Top.get(r))),
                  std::max(bounds.Right, ObjectRec::Left.get(r) + ObjectRec::Width.get(r)),
                  std::max(bounds.Bottom, ObjectRec::Top.get(r) + ObjectRec::Height.get(r))};
    }
    if (bounds.Right <= bounds.Left || bounds.Bottom <= bounds.Top) return {};
    const TRect page = shown.PageRect();
    QImage image(std::max(page.Right, 1), std::max(page.Bottom, 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QtCanvas canvas(image);
        DrawForm(shown, page, canvas, TDrawOptions{true, true, true, shown.DashColor});
    }
    return image.copy(QRect(bounds.Left, bounds.Top, bounds.Right - bounds.Left, bounds.Bottom - bounds.Top));
}

} // namespace

void PublishRecords(const TKVTFile& records, TKVT& form) {
    TMemoryStream stream;
    records.SaveToStream(stream);
    const std::vector<std::uint8_t> bytes = stream.TakeBytes();
    auto* data = new QMimeData;
    data->setData(kRecordsMimeType, QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    data->setData(kOwnerMimeType, owner());
    const QImage image = picture(records, form);
    if (!image.isNull()) data->setImageData(image);
    QGuiApplication::clipboard()->setMimeData(data);
}

bool TakeForeignRecords(TKVTFile& into) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr || !data->hasFormat(kRecordsMimeType) || data->data(kOwnerMimeType) == owner()) return false;
    const QByteArray bytes = data->data(kRecordsMimeType);
    TKVTFile records;
    TBytesStream stream({reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())});
    try {
        records.LoadFromStream(stream);
    } catch (const Exception&) {
        return false;
    }
    // Objects only: a header or a record of an unknown kind is no object to paste.
    into.Clear();
    for (std::int32_t i = 0; i < records.Count(); ++i) {
        const std::int32_t type = ItemHeader::ItemType.get(records.Items(i));
        if (type >= kvtFrameType && type <= kvtLogoType && type % 10 == 0) into.Add(records.Items(i));
    }
    return true;
}

std::vector<std::uint8_t> ClipboardMetafile() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr) return {};
    for (const char* type : kMetafileMimeTypes) {
        if (!data->hasFormat(type)) continue;
        const QByteArray bytes = data->data(type);
        if (!bytes.isEmpty()) return {bytes.begin(), bytes.end()};
    }
    return {};
}

} // namespace kovet::designer
