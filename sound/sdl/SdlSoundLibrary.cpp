// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sdl/SdlSoundLibrary.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

namespace quillet {

namespace {

constexpr int kSharedChannels = 16;  // enough for a burst of overlapping clicks
constexpr int kSharedTag = 1;
constexpr int kOwnTag = 2;

// A buffer is either a chunk, decoded and converted whole when it is made, or the music: played
// through the mixer's one music stream, decoded from its image as it plays.
struct Buffer {
    Mix_Chunk* chunk = nullptr;
    Mix_Music* music = nullptr;
    std::vector<std::uint8_t> image;  // what the music reads from while it plays
    std::int32_t flags = 0;
    int ownChannel = -1;
    bool looping = false;
};

SDL_RWops* reader(const std::uint8_t* image, std::size_t imageBytes) {
    if (image == nullptr || imageBytes > std::size_t(INT_MAX)) return nullptr;
    return SDL_RWFromConstMem(image, int(imageBytes));
}

// SDL's WAVE reader judges every image, music included, so a file is a sound or not whatever it
// is made as. Mix_LoadWAV_RW would also try its music decoders on what is not a WAVE file.
bool soundWave(const std::uint8_t* image, std::size_t imageBytes) {
    SDL_AudioSpec spec;
    Uint8* samples = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV_RW(reader(image, imageBytes), 1, &spec, &samples, &length) == nullptr) return false;
    SDL_FreeWAV(samples);
    // SDL's converter overflows its buffer sizes on absurd rates; no sound file has one.
    return length > 0 && spec.freq <= 768000;
}

std::uint32_t le32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

void putLe32(std::uint8_t* p, std::size_t v) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

// SDL's readers allocate what a chunk claims, and the music's reads past the file's end: every
// chunk must lie inside the file, and the bytes after it go. Returns the data chunk's offset, or 0.
std::size_t wellFormed(std::vector<std::uint8_t>& image) {
    if (image.size() < 12 || std::size_t(le32(&image[4])) + 8 > image.size()) return 0;
    image.resize(le32(&image[4]) + 8);
    std::size_t data = 0;
    for (std::size_t at = 12, size = 0; at + 8 <= image.size(); at += 8 + size + (size & 1)) {
        size = le32(&image[at + 4]);
        if (size > image.size() - at - 8) return 0;
        if (data == 0 && std::memcmp(&image[at], "data", 4) == 0) data = at;
    }
    return data;
}

// An image past 16 MiB (an hour of music) is judged on its headers and first samples, whole frames
// of any format, not decoded whole to be judged; an effect is decoded when it is made anyway.
bool playable(const std::vector<std::uint8_t>& image, std::size_t data) {
    if (image.size() <= std::size_t(16) << 20) return soundWave(image.data(), image.size());
    const std::size_t samples = std::min<std::size_t>(le32(&image[data + 4]), 65520);
    std::vector<std::uint8_t> start(image.begin(), image.begin() + long(data + 8 + samples));
    if (samples & 1) start.push_back(0);
    putLe32(&start[4], start.size() - 8);
    putLe32(&start[data + 4], samples);
    return soundWave(start.data(), start.size());
}

}  // namespace

struct SdlSoundLibrary::State {
    std::int32_t device = 0;
    std::int32_t lastDevice = 0;
    std::int32_t lastBuffer = 0;
    std::map<std::int32_t, Buffer> buffers;
    std::int32_t musicOwner = 0;  // the buffer whose music the music stream plays, if any
    int reserved = 0;             // channels 0 .. reserved-1 belong to single buffers
    std::vector<int> freeOwn;     // reserved channels whose buffer was freed

    Buffer* find(std::int32_t handle) {
        if (device == 0 || handle == 0) return nullptr;
        auto it = buffers.find(handle);
        return it == buffers.end() ? nullptr : &it->second;
    }

    int takeOwnChannel() {
        if (!freeOwn.empty()) {
            const int ch = freeOwn.back();
            freeOwn.pop_back();
            return ch;
        }
        // Mixer reservations always cover the lowest channels, so the first shared channel
        // becomes the new reserved one and the shared range moves up by one.
        const int ch = reserved++;
        Mix_AllocateChannels(reserved + kSharedChannels);
        Mix_ReserveChannels(reserved);
        Mix_HaltChannel(ch);
        Mix_GroupChannel(ch, kOwnTag);
        Mix_GroupChannels(reserved, reserved + kSharedChannels - 1, kSharedTag);
        return ch;
    }

    static void haltVoices(Mix_Chunk* chunk) {
        const int channels = Mix_AllocateChannels(-1);
        for (int ch = 0; ch < channels; ++ch)
            if (Mix_Playing(ch) && Mix_GetChunk(ch) == chunk) Mix_HaltChannel(ch);
    }

    // The stream plays this buffer's music from the start, over and over or once.
    void playMusic(std::int32_t handle, Buffer& b, bool loop) {
        b.looping = Mix_PlayMusic(b.music, loop ? -1 : 0) == 0 && loop;
        musicOwner = handle;
    }

    void stopMusic(std::int32_t handle) {
        if (musicOwner != handle) return;
        Mix_HaltMusic();
        musicOwner = 0;
    }

    // Before the buffer goes: the music reads from its image until it is freed.
    static void release(Buffer& b) {
        Mix_FreeMusic(b.music);
        Mix_FreeChunk(b.chunk);
    }

    void close() {
        if (device == 0) return;
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
        musicOwner = 0;
        for (auto& [handle, b] : buffers) release(b);
        buffers.clear();
        freeOwn.clear();
        reserved = 0;
        device = 0;
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
    }
};

SdlSoundLibrary::SdlSoundLibrary() : state_(new State) {}

SdlSoundLibrary::~SdlSoundLibrary() { state_->close(); }

std::int32_t SdlSoundLibrary::dsInitialize(std::int32_t /*windowHandle: SDL needs no window for audio*/) {
    State& s = *state_;
    if (s.device != 0) return s.device;
    // SDL would otherwise turn SIGINT and SIGTERM into quit events that nobody reads, and the
    // game could no longer be stopped from a terminal or by the session ending.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A file shorter than its headers say is refused, not played in part.
    SDL_SetHintWithPriority(SDL_HINT_WAVE_TRUNCATION, "verystrict", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
    // A fixed device format: SDL converts for the card, and every buffer is converted to it once.
    if (Mix_OpenAudioDevice(44100, AUDIO_S16SYS, 2, 1024, nullptr, 0) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
        return 0;
    }
    Mix_ReserveChannels(0);
    Mix_AllocateChannels(kSharedChannels);
    Mix_GroupChannels(0, kSharedChannels - 1, kSharedTag);
    if (++s.lastDevice <= 0) s.lastDevice = 1;
    s.device = s.lastDevice;
    return s.device;
}

void SdlSoundLibrary::dsTerminate(std::int32_t device) {
    if (device != 0 && device == state_->device) state_->close();
}

std::int32_t SdlSoundLibrary::dsCreateDSB(std::int32_t device, const std::uint8_t* image,
                                          std::size_t imageBytes, std::int32_t flags) {
    if (image == nullptr) return 0;
    return dsCreateDSBTaking(device, std::vector<std::uint8_t>(image, image + imageBytes), flags);
}

std::int32_t SdlSoundLibrary::dsCreateDSBTaking(std::int32_t device, std::vector<std::uint8_t>&& image,
                                                std::int32_t flags) {
    State& s = *state_;
    std::vector<std::uint8_t> taken = std::move(image);
    if (device == 0 || device != s.device) return 0;
    const bool streamed = (flags & (kOwnChannel | kOverlap)) == kOwnChannel;
    const std::size_t data = wellFormed(taken);
    if (data == 0 || !playable(taken, data)) return 0;
    Buffer b;
    b.flags = flags;
    if (streamed) {
        b.image = std::move(taken);
        // The music owns the reader from here on, and closes it when it is freed or fails to open.
        if (SDL_RWops* rw = reader(b.image.data(), b.image.size()))
            b.music = Mix_LoadMUSType_RW(rw, MUS_WAV, 1);
        if (b.music == nullptr) return 0;
    } else {
        b.chunk = Mix_LoadWAV_RW(reader(taken.data(), taken.size()), 1);
        if (b.chunk == nullptr) return 0;
        if (flags & kOwnChannel) b.ownChannel = s.takeOwnChannel();
    }
    do {
        if (++s.lastBuffer <= 0) s.lastBuffer = 1;
    } while (s.buffers.count(s.lastBuffer) != 0);
    s.buffers.emplace(s.lastBuffer, std::move(b));
    return s.lastBuffer;
}

void SdlSoundLibrary::dsFree(std::int32_t buffer) {
    State& s = *state_;
    Buffer* b = s.find(buffer);
    if (b == nullptr) return;
    if (b->music != nullptr) s.stopMusic(buffer);
    if (b->chunk != nullptr) State::haltVoices(b->chunk);
    State::release(*b);
    if (b->ownChannel >= 0) s.freeOwn.push_back(b->ownChannel);
    s.buffers.erase(buffer);
}

void SdlSoundLibrary::dsPlay(std::int32_t buffer) {
    Buffer* b = state_->find(buffer);
    if (b == nullptr) return;
    if (b->music != nullptr) {
        state_->playMusic(buffer, *b, false);
        return;
    }
    if (!(b->flags & kOverlap)) {
        State::haltVoices(b->chunk);
        b->looping = false;
    }
    if (b->ownChannel >= 0 && !Mix_Playing(b->ownChannel)) {
        b->looping = false;
        Mix_PlayChannel(b->ownChannel, b->chunk, 0);
    } else if (Mix_PlayChannel(-1, b->chunk, 0) < 0) {
        if (const int oldest = Mix_GroupOldest(kSharedTag); oldest >= 0) Mix_PlayChannel(oldest, b->chunk, 0);
    }
}

void SdlSoundLibrary::dsPlayLooping(std::int32_t buffer) {
    State& s = *state_;
    Buffer* b = s.find(buffer);
    if (b == nullptr) return;
    if (b->music != nullptr) {
        if (!(b->looping && s.musicOwner == buffer && Mix_PlayingMusic())) s.playMusic(buffer, *b, true);
        return;
    }
    if (b->ownChannel < 0) b->ownChannel = s.takeOwnChannel();
    if (b->looping && Mix_Playing(b->ownChannel) && Mix_GetChunk(b->ownChannel) == b->chunk) return;
    b->looping = Mix_PlayChannel(b->ownChannel, b->chunk, -1) >= 0;
}

void SdlSoundLibrary::dsStop(std::int32_t buffer) {
    Buffer* b = state_->find(buffer);
    if (b == nullptr) return;
    b->music ? state_->stopMusic(buffer) : State::haltVoices(b->chunk);
    b->looping = false;
}

}  // namespace quillet
