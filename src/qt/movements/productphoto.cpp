#include "qt/movements/productphoto.h"

#include <QImage>
#include <QPixmap>
#include <algorithm>

#include "logic/masterdata/companyproducts.h"

namespace accise {

namespace {
constexpr int kPhotoFrame = 107; // the photo's frame, pixels
}

bool isReadablePicture(std::string_view bytes) {
    QImage image;
    return image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
}

ProductPhoto::ProductPhoto(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("FOTO"));
    setAlignment(Qt::AlignCenter);
    setFixedSize(kPhotoFrame, kPhotoFrame);
}

void ProductPhoto::showFile(const std::string& file) {
    if (file == shown_) return;
    shown_ = file;
    QImage image;
    if (!shown_.empty()) image.load(QString::fromStdString(shown_));
    if (image.isNull()) {
        // No picture: its place stays, without an empty frame drawn round it.
        clear();
        setFrameShape(QFrame::NoFrame);
        setFixedSize(kPhotoFrame, kPhotoFrame);
        return;
    }
    setFrameShape(QFrame::Box);
    const ShownSize size = shownPhotoSize(kPhotoFrame, image.width(), image.height());
    const int width = std::max(size.width, 1);
    setFixedSize(width, size.height);
    setPixmap(QPixmap::fromImage(image.scaled(width, size.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

} // namespace accise
