// Qt backend: what a drop carries, in the application's terms.
#include <QMimeData>
#include <QUrl>

#include "QtInternal.h"

namespace platform {

bool OffersFiles(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls()) return false;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) return true;
    }
    return false;
}

DropData ToDropData(const QMimeData* mime) {
    std::vector<std::wstring> files;
    if (mime == nullptr || !mime->hasUrls()) return DropData();
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdWString());
    }
    return DropData(std::move(files));
}

}  // namespace platform
