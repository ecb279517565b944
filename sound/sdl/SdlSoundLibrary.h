// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound library over SDL2_mixer (docs/ARCHITECTURE.md, Sound): one device at a time, and
// SDL's WAVE reader decides which images make a buffer.

#include <memory>
#include <vector>

#include "seam/SoundLibrary.h"

namespace quillet {

class SdlSoundLibrary : public SoundLibrary {
public:
    // A channel reserved at creation, never taken by another sound; with it alone the buffer is
    // the music, streamed from its image and restarted rather than doubled.
    static constexpr std::int32_t kOwnChannel = 1;
    // dsPlay while it sounds starts another voice beside it instead of restarting it.
    static constexpr std::int32_t kOverlap = 2;

    SdlSoundLibrary();
    ~SdlSoundLibrary() override;

    std::int32_t dsInitialize(std::int32_t windowHandle) override;
    void dsTerminate(std::int32_t device) override;
    std::int32_t dsCreateDSB(std::int32_t device, const std::uint8_t* image, std::size_t imageBytes,
                             std::int32_t flags) override;
    std::int32_t dsCreateDSBTaking(std::int32_t device, std::vector<std::uint8_t>&& image,
                                   std::int32_t flags) override;
    void dsFree(std::int32_t buffer) override;
    void dsPlay(std::int32_t buffer) override;
    void dsPlayLooping(std::int32_t buffer) override;
    void dsStop(std::int32_t buffer) override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace quillet
