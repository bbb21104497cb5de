#pragma once

#include <QByteArray>
#include <QImage>

namespace fw {

// The picture in a file's bytes, or a null image when they are not one.
// Decoders complain on the terminal about broken files; nothing here does:
// a picture that does not load is simply no picture.
QImage DecodePicture(const QByteArray& bytes);

}  // namespace fw
