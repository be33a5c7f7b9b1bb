#pragma once
// The product's photo beside a movement window's fields (FOTO): a framed square until
// a picture is shown; the frame keeps its height and the width follows the picture.
#include <QLabel>
#include <string>
#include <string_view>

namespace accise {

// Whether these bytes are a picture the toolkit can show (the window logic asks
// before it takes a file as a product's photo).
bool isReadablePicture(std::string_view bytes);

class ProductPhoto : public QLabel {
public:
    explicit ProductPhoto(QWidget* parent);
    // Shows the picture of this file (none when empty or unreadable); the same file
    // again is not read twice.
    void showFile(const std::string& file);

private:
    std::string shown_;
};

} // namespace accise
