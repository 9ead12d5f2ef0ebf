// Qt backend: what a drop carries, in the application's terms.
#include <QMimeData>
#include <QUrl>
#include <optional>

#include "QtInternal.h"

namespace platform {

namespace {

// The file a file:// URI names on this machine, as the bytes of its percent-decoded path, so a
// name that is not UTF-8 arrives unchanged (QUrl::toLocalFile would decode it as UTF-8). A URI
// naming another host (file://otherhost/...) is no local file: nullopt.
std::optional<std::wstring> LocalFile(const QUrl& url) {
    if (url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) != 0) return std::nullopt;
    const QString host = url.host();
    if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0) {
        return std::nullopt;
    }
    const QByteArray path =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (path.isEmpty()) return std::nullopt;
    return FromUtf8(std::string_view(path.constData(), static_cast<size_t>(path.size())));
}

}  // namespace

// Asks only which formats the drag offers: reading the URIs themselves while an X11 drag is under
// way makes Qt lose the data of the drop that follows now and then. So a drag of web links still
// shows "copy"; its drop carries no local file and changes nothing.
bool OffersFiles(const QMimeData* mime) { return mime != nullptr && mime->hasUrls(); }

DropData ToDropData(const QMimeData* mime) {
    std::vector<std::wstring> files;
    if (mime == nullptr || !mime->hasUrls()) return DropData();
    for (const QUrl& url : mime->urls()) {
        if (auto file = LocalFile(url)) files.push_back(std::move(*file));
    }
    return DropData(std::move(files));
}

}  // namespace platform
