#pragma once

#include "Movie.h"

#include <cstddef>
#include <memory>
#include <string>

namespace player::swf {

// The result of reading a movie: the movie, or an error that says why there is none. A movie
// damaged part way is returned with what could be read and its warnings.
struct MovieReadResult {
    std::shared_ptr<Movie> movie;
    std::string error;
};

// Decompressed movies are never allowed to grow beyond this.
constexpr size_t MaximumMovieSize = 256u * 1024 * 1024;

MovieReadResult readMovie(const uint8_t* data, size_t size);

} // namespace player::swf
