// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as a wave file image for the real SDL2_mixer sound library (on SDL's dummy
// driver), created as an effect and as music, then played, looped, stopped and freed.
// libFuzzer hands over a buffer of exactly the input's size, so any read past the image that
// the library's header checks let through is caught by AddressSanitizer.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "sound/sdl/SdlSoundLibrary.h"

namespace {

quillet::SdlSoundLibrary* library = nullptr;
std::int32_t device = 0;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    library = new quillet::SdlSoundLibrary;
    device = library->dsInitialize(1);
    if (device == 0) {
        std::fprintf(stderr, "wav_fuzzer: SDL's dummy audio driver did not open\n");
        std::abort();
    }
    // The device stays open for the whole run; closing it at exit is the library's own business.
    std::atexit([] {
        library->dsTerminate(device);
        delete library;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::int32_t effect = library->dsCreateDSB(device, data, size, 3);
    library->dsPlay(effect);
    library->dsPlay(effect);
    const std::int32_t music = library->dsCreateDSB(device, data, size, 1);
    library->dsPlayLooping(music);
    library->dsPlay(music);
    library->dsStop(music);
    library->dsFree(effect);
    library->dsFree(music);
    // Freed handles are dead: nothing may happen, and nothing may crash.
    library->dsPlay(effect);
    library->dsFree(music);
    if ((effect == 0) != (music == 0)) {
        std::fprintf(stderr, "wav_fuzzer: the same image made a buffer with one flag value only\n");
        std::abort();
    }
    return 0;
}
