#pragma once

#include <QImage>

class QIODevice;

namespace fw {

// The picture read from the device, or a null image when it holds none.
// Decoders complain on the terminal about broken files; nothing here does:
// a picture that does not load is simply no picture. So is one whose pixels
// would need more memory than Qt's image reader allows, or a file far larger
// than any such picture. Only what the decoder needs is read.
QImage DecodePicture(QIODevice& source);

}  // namespace fw
