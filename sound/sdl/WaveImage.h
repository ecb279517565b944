// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checking an uncompressed RIFF/WAVE image before SDL_mixer is given it, and the view of a checked
// image that the music decoder reads.

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace quillet::wave {

// Where the parts of a checked WAVE image lie.
struct WaveLayout {
    std::size_t length = 0;  // of the whole file, from its RIFF header
    std::size_t fmt = 0;     // offset of the fmt chunk's body
    std::size_t fmtBytes = 0;
    std::size_t data = 0;  // offset of the samples
    std::size_t dataBytes = 0;
};

// The layout of the WAVE file at the start of the image when the whole file lies inside the
// imageBytes available and its chunks are sound; nullopt otherwise.
std::optional<WaveLayout> validatedLayout(const std::uint8_t* image, std::size_t imageBytes);

// A reader of the view of a checked image, which must outlive it; null when none can be made.
// The music decoder reads the image through it: a canonical header (RIFF, the fmt chunk, the data
// chunk's header) followed by the image's own samples, read in place, so that the decoder sees
// just what validatedLayout checked.
SDL_RWops* openView(const std::uint8_t* image, const WaveLayout& layout);

}  // namespace quillet::wave
