// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as a wave file image for the real SDL2_mixer sound library (on SDL's dummy
// driver), made an effect and the music, then played, looped, stopped and freed. The library
// copies the image into a buffer of exactly its size, which AddressSanitizer guards.

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
    // The music's decoder may refuse what the WAVE reader takes (it misses a chunk's pad byte),
    // never the other way round.
    if (music != 0 && effect == 0) {
        std::fprintf(stderr, "wav_fuzzer: an image the effects refuse made the music\n");
        std::abort();
    }
    return 0;
}
