// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sdl/SdlSoundLibrary.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "sound/sdl/WaveImage.h"

namespace quillet {

namespace {

using wave::openView;
using wave::validatedLayout;
using wave::WaveLayout;

constexpr int kSharedChannels = 16;  // enough for a burst of overlapping clicks
constexpr int kSharedTag = 1;
constexpr int kOwnTag = 2;

std::optional<std::size_t> validatedLength(const std::uint8_t* image, std::size_t imageBytes) {
    const auto layout = validatedLayout(image, imageBytes);
    if (!layout) return std::nullopt;
    return layout->length;
}

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

bool streamed(std::int32_t flags) {
    return (flags & (SdlSoundLibrary::kOwnChannel | SdlSoundLibrary::kOverlap)) ==
           SdlSoundLibrary::kOwnChannel;
}

// Whether the effects' decoder takes the image too: it is given the image's own chunks up to
// the samples and the first 64 kB of these (enough for a frame after conversion at any rate).
// So an image is music exactly when it would make an effect, and a broken one is refused when
// it is loaded, without the whole of it being decoded.
bool effectsDecoderTakes(const std::vector<std::uint8_t>& image, const WaveLayout& layout) {
    const std::size_t samples = std::min<std::size_t>(layout.dataBytes, 65536);
    std::vector<std::uint8_t> start(image.begin(), image.begin() + long(layout.data + samples));
    auto put = [&start](std::size_t at, std::size_t v) {
        for (int i = 0; i < 4; ++i) start[at + i] = std::uint8_t(v >> (8 * i));
    };
    if (samples & 1) start.push_back(0);
    put(4, start.size() - 8);
    put(layout.data - 4, samples);
    SDL_RWops* rw = SDL_RWFromConstMem(start.data(), int(start.size()));
    if (rw == nullptr) return false;
    Mix_Chunk* chunk = Mix_LoadWAV_RW(rw, 1);
    if (chunk == nullptr) return false;
    const bool sound = chunk->alen > 0;
    Mix_FreeChunk(chunk);
    return sound;
}

// The music over a checked image, which must outlive it; null when the mixer cannot play it.
Mix_Music* openMusic(const std::vector<std::uint8_t>& image, const WaveLayout& layout) {
    SDL_RWops* rw = openView(image.data(), layout);
    if (rw == nullptr) return nullptr;
    // The music owns the reader from here on, and closes it when it is freed or fails to open.
    return Mix_LoadMUS_RW(rw, 1);
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

    static int playShared(Mix_Chunk* chunk) {
        int ch = Mix_PlayChannel(-1, chunk, 0);
        if (ch < 0) {
            const int oldest = Mix_GroupOldest(kSharedTag);
            if (oldest >= 0) ch = Mix_PlayChannel(oldest, chunk, 0);
        }
        return ch;
    }

    static void haltVoices(Mix_Chunk* chunk) {
        const int channels = Mix_AllocateChannels(-1);
        for (int ch = 0; ch < channels; ++ch)
            if (Mix_Playing(ch) && Mix_GetChunk(ch) == chunk) Mix_HaltChannel(ch);
    }

    std::int32_t add(Buffer&& b) {
        do {
            if (++lastBuffer <= 0) lastBuffer = 1;
        } while (buffers.count(lastBuffer) != 0);
        buffers.emplace(lastBuffer, std::move(b));
        return lastBuffer;
    }

    // The stream plays this buffer's music from the start, over and over or once.
    void playMusic(std::int32_t handle, Buffer& b, bool loop) {
        b.looping = Mix_PlayMusic(b.music, loop ? -1 : 0) == 0 && loop;
        musicOwner = handle;
    }

    bool musicPlaying(std::int32_t handle) const { return musicOwner == handle && Mix_PlayingMusic() != 0; }

    void stopMusic(std::int32_t handle) {
        if (musicOwner != handle) return;
        Mix_HaltMusic();
        musicOwner = 0;
    }

    static void release(Buffer& b) {
        // The music reads from the image until it is freed.
        if (b.music != nullptr) Mix_FreeMusic(b.music);
        if (b.chunk != nullptr) Mix_FreeChunk(b.chunk);
        b.music = nullptr;
        b.chunk = nullptr;
        b.image = {};
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

SdlSoundLibrary::~SdlSoundLibrary() {
    state_->close();
    delete state_;
}

std::int32_t SdlSoundLibrary::dsInitialize(std::int32_t /*windowHandle: SDL needs no window for audio*/) {
    State& s = *state_;
    if (s.device != 0) return s.device;
    // SDL would otherwise turn SIGINT and SIGTERM into quit events that nobody reads, and the
    // game could no longer be stopped from a terminal or by the session ending.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
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
    s.reserved = 0;
    if (++s.lastDevice <= 0) s.lastDevice = 1;
    s.device = s.lastDevice;
    return s.device;
}

void SdlSoundLibrary::dsTerminate(std::int32_t device) {
    if (device != 0 && device == state_->device) state_->close();
}

std::int32_t SdlSoundLibrary::dsCreateDSB(std::int32_t device, const std::uint8_t* image,
                                          std::size_t imageBytes, std::int32_t flags) {
    State& s = *state_;
    if (device == 0 || device != s.device) return 0;
    const auto length = validatedLength(image, imageBytes);
    if (!length) return 0;
    if (streamed(flags)) return createMusic(std::vector<std::uint8_t>(image, image + *length), flags);
    SDL_RWops* rw = SDL_RWFromConstMem(image, int(*length));
    if (rw == nullptr) return 0;
    Mix_Chunk* chunk = Mix_LoadWAV_RW(rw, 1);
    if (chunk == nullptr) return 0;
    if (chunk->alen == 0) {
        Mix_FreeChunk(chunk);
        return 0;
    }
    Buffer b;
    b.chunk = chunk;
    b.flags = flags;
    if (flags & kOwnChannel) b.ownChannel = s.takeOwnChannel();
    return s.add(std::move(b));
}

std::int32_t SdlSoundLibrary::dsCreateDSBTaking(std::int32_t device, std::vector<std::uint8_t>&& image,
                                                std::int32_t flags) {
    State& s = *state_;
    std::vector<std::uint8_t> taken = std::move(image);
    if (!streamed(flags)) return dsCreateDSB(device, taken.data(), taken.size(), flags);
    if (device == 0 || device != s.device) return 0;
    return createMusic(std::move(taken), flags);
}

// The image was checked by validatedLength; the mixer's music decoder checks it again as it
// opens it, so an image it could not play is refused here, when it is loaded, not later.
std::int32_t SdlSoundLibrary::createMusic(std::vector<std::uint8_t>&& image, std::int32_t flags) {
    State& s = *state_;
    const auto layout = validatedLayout(image.data(), image.size());
    if (!layout || !effectsDecoderTakes(image, *layout)) return 0;
    Buffer b;
    b.image = std::move(image);
    b.music = openMusic(b.image, *layout);
    if (b.music == nullptr) return 0;
    b.flags = flags;
    return s.add(std::move(b));
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
    const bool overlap = (b->flags & kOverlap) != 0;
    if (!overlap) {
        State::haltVoices(b->chunk);
        b->looping = false;
    }
    if (b->ownChannel >= 0 && !Mix_Playing(b->ownChannel)) {
        b->looping = false;
        Mix_PlayChannel(b->ownChannel, b->chunk, 0);
    } else {
        State::playShared(b->chunk);
    }
}

void SdlSoundLibrary::dsPlayLooping(std::int32_t buffer) {
    State& s = *state_;
    Buffer* b = s.find(buffer);
    if (b == nullptr) return;
    if (b->music != nullptr) {
        if (!(b->looping && s.musicPlaying(buffer))) s.playMusic(buffer, *b, true);
        return;
    }
    if (b->ownChannel < 0) b->ownChannel = s.takeOwnChannel();
    if (b->looping && Mix_Playing(b->ownChannel) && Mix_GetChunk(b->ownChannel) == b->chunk) return;
    b->looping = Mix_PlayChannel(b->ownChannel, b->chunk, -1) >= 0;
}

void SdlSoundLibrary::dsStop(std::int32_t buffer) {
    Buffer* b = state_->find(buffer);
    if (b == nullptr) return;
    if (b->music != nullptr)
        state_->stopMusic(buffer);
    else
        State::haltVoices(b->chunk);
    b->looping = false;
}

}  // namespace quillet
