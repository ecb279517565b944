#pragma once
// The sound library over SDL2_mixer.

#include "sound/SoundLibrary.h"

namespace quillet {

class SdlSoundLibrary : public SoundLibrary {
public:
    SdlSoundLibrary();
    ~SdlSoundLibrary() override;
    SdlSoundLibrary(const SdlSoundLibrary&) = delete;
    SdlSoundLibrary& operator=(const SdlSoundLibrary&) = delete;

    std::int32_t dsInitialize(std::int32_t windowHandle) override;
    void dsTerminate(std::int32_t device) override;
    std::int32_t dsCreateDSB(std::int32_t device, const std::uint8_t* image, std::size_t imageBytes,
                             std::int32_t flags) override;
    void dsFree(std::int32_t buffer) override;
    void dsPlay(std::int32_t buffer) override;
    void dsPlayLooping(std::int32_t buffer) override;
    void dsStop(std::int32_t buffer) override;

private:
    struct State;
    State* state_;
};

}  // namespace quillet
