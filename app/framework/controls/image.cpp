#include "app/framework/controls/image.h"

#include "app/framework/class_info.h"
#include "app/framework/controls/bitmap_paint.h"
#include "app/framework/controls/control_properties.h"
#include "imaging/bmp_codec.h"
#include "imaging/graphic_error.h"
#include "imaging/jpeg_decoder.h"

namespace kalvo {

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    width_ = 105;
    height_ = 105;
}

void TImage::SetPicture(TBitmap picture) {
    picture_ = std::move(picture);
    AdjustBounds();
    Invalidate();
}

void TImage::LoadFromBytes(std::span<const std::uint8_t> file) {
    if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M')
        SetPicture(ReadBMP(file));
    else if (file.size() >= 3 && file[0] == 0xFF && file[1] == 0xD8 && file[2] == 0xFF)
        SetPicture(DecodeJPEG(file));
    else
        throw EInvalidGraphic("the picture is neither a BMP nor a JPEG file");
}

void TImage::SetStretch(bool stretch) {
    stretch_ = stretch;
    Invalidate();
}

void TImage::SetCenter(bool center) {
    center_ = center;
    Invalidate();
}

void TImage::SetAutoSize(bool auto_size) {
    auto_size_ = auto_size;
    AdjustBounds();
}

void TImage::AdjustBounds() {
    if (auto_size_ && !picture_.Empty())
        SetBounds(left_, top_, picture_.Width(), picture_.Height());
}

RECT TImage::PictureRect() const {
    if (stretch_)
        return ClientRect();
    RECT rect{0, 0, picture_.Width(), picture_.Height()};
    if (center_)
        OffsetRect(&rect, (width_ - picture_.Width()) / 2, (height_ - picture_.Height()) / 2);
    return rect;
}

void TImage::Paint(HDC dc) {
    if (picture_.Empty())
        return;
    DrawBitmap(dc, PictureRect(), picture_, {0, 0, picture_.Width(), picture_.Height()},
               OwnMask(picture_));
}

const TClassInfo& TImage::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TImage>("TImage", &TGraphicControl::StaticClassInfo())
            .Creatable()
            .Boolean("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize)
            .Boolean("Center", &TImage::Center, &TImage::SetCenter)
            .Boolean("Stretch", &TImage::Stretch, &TImage::SetStretch)
            .Property(BinaryProperty<TImage>("Picture", &TImage::LoadFromBytes))
            .Build();
    return info;
}

} // namespace kalvo
