// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound library over SDL2_mixer.
//
// One device at a time: dsInitialize opens SDL's audio device (44.1 kHz, 16-bit stereo; SDL
// converts for the card) and answers a non-zero handle, or 0 when no device opens. Where there is
// no sound card, SDL_AUDIODRIVER=dummy (or disk) gives a working device.
//
// dsCreateDSB accepts only an uncompressed RIFF/WAVE image: PCM of 8, 16, 24 or 32 bits or
// 32-bit float, 1 to 8 channels, the fmt chunk before a non-empty data chunk, every chunk inside
// the RIFF size and the RIFF size inside imageBytes. Anything else answers 0.
//
// An effect is decoded and converted to the device's format when it is made, and copied, so the
// image may be released on return. The music (a buffer with kOwnChannel and without kOverlap:
// one voice of its own, never doubled) is not decoded up front: it plays through the mixer's one
// music stream, decoded from the image as it plays, so an hour of music costs no time to load
// and no more memory than its file. dsCreateDSB copies the image for it; dsCreateDSBTaking
// keeps the image it is given instead. An image the music decoder cannot open answers 0 at once.
// There is one music stream: playing one music buffer stops any other.
//
// Buffer flags (other bits are ignored):
//   bit 0 (1) kOwnChannel: the buffer gets a mixer channel reserved for it at creation, so it
//             starts even when every shared channel is busy and is never cut off to make room.
//             A buffer without it plays on the shared channels; the first time it is looped it
//             is given a channel of its own then, so no effect can take the music's channel.
//   bit 1 (2) kOverlap: dsPlay while the buffer still sounds starts another voice beside it on a
//             shared channel (when all are busy, the oldest shared voice gives way). Without it,
//             dsPlay restarts the buffer from the beginning.
// The game creates its effects with 3 (own channel, overlapping: a quick series of clicks rings
// out each one) and its music with 1 (own channel, restarted rather than doubled: streamed).
//
// dsPlayLooping repeats the buffer seamlessly until dsStop; looping a buffer that is already
// looping changes nothing, and looping after dsStop starts from the beginning. dsStop silences
// every voice of the buffer. Every entry point accepts 0 and unknown handles and then does nothing.
// dsTerminate (and the destructor) frees every buffer still alive and closes the device.

#include <vector>

#include "seam/SoundLibrary.h"

namespace quillet {

class SdlSoundLibrary : public SoundLibrary {
public:
    static constexpr std::int32_t kOwnChannel = 1;
    static constexpr std::int32_t kOverlap = 2;

    SdlSoundLibrary();
    ~SdlSoundLibrary() override;
    SdlSoundLibrary(const SdlSoundLibrary&) = delete;
    SdlSoundLibrary& operator=(const SdlSoundLibrary&) = delete;

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
    std::int32_t createMusic(std::vector<std::uint8_t>&& image, std::int32_t flags);
    struct State;
    State* state_;
};

}  // namespace quillet
