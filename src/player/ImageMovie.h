#pragma once

#include "player/swf/Movie.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace player {

// A JPEG, PNG or GIF file loaded with loadMovie becomes a one-frame movie whose only content is
// the picture at depth 1, one pixel per pixel from the clip's origin, as in Flash.
namespace image_movie {

enum class ImageFormat { None, Jpeg, Png, Gif };

// The format the first bytes announce; None for anything else (a movie, text...).
ImageFormat detect(const QByteArray& bytes);

// The movie for an image file; null with a message when the picture cannot be read.
// swfVersion is that of the loading movie: the loaded clip's scripts keep its rules.
std::shared_ptr<swf::Movie> make(const QByteArray& bytes, int swfVersion, QString* error);

} // namespace image_movie

} // namespace player
