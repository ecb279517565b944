// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound library's entry points, as the game calls them. Handles are opaque non-zero
// integers; 0 means none, and every entry point that takes a handle accepts 0 and does nothing.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace quillet {

class SoundLibrary {
public:
    virtual ~SoundLibrary() = default;
    // Opens the audio device for the window; the device handle, or 0 when none opens.
    virtual std::int32_t dsInitialize(std::int32_t windowHandle) = 0;
    virtual void dsTerminate(std::int32_t device) = 0;
    // Creates a buffer from a complete RIFF/WAVE file image. The length comes from the
    // image's own headers; imageBytes is only the size of the memory holding it, so that a
    // header claiming more than is there can never make the library read past it.
    // Copies what it needs. Returns the buffer handle, or 0 on failure.
    virtual std::int32_t dsCreateDSB(std::int32_t device, const std::uint8_t* image, std::size_t imageBytes,
                                     std::int32_t flags) = 0;
    // dsCreateDSB for an image the caller gives up: a library that plays a buffer straight from
    // its image (the music, streamed) keeps it instead of copying it, so a long piece of music
    // is in memory once. The image is released on return in any other case.
    virtual std::int32_t dsCreateDSBTaking(std::int32_t device, std::vector<std::uint8_t>&& image,
                                           std::int32_t flags) {
        const std::vector<std::uint8_t> released = std::move(image);
        return dsCreateDSB(device, released.data(), released.size(), flags);
    }
    virtual void dsFree(std::int32_t buffer) = 0;
    // Plays once and returns at once.
    virtual void dsPlay(std::int32_t buffer) = 0;
    // Plays over and over until dsStop.
    virtual void dsPlayLooping(std::int32_t buffer) = 0;
    virtual void dsStop(std::int32_t buffer) = 0;
};

}  // namespace quillet
