// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sdl/SdlSoundLibrary.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <climits>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

namespace quillet {

namespace {

constexpr int kSharedChannels = 16;  // enough for a burst of overlapping clicks
constexpr int kSharedTag = 1;
constexpr int kOwnTag = 2;

std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t le16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
bool tagIs(const std::uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

constexpr int kFormatPcm = 1;
constexpr int kFormatFloat = 3;
constexpr int kFormatExtensible = 0xFFFE;
// The 14 bytes that follow the format code in WAVE_FORMAT_EXTENSIBLE's sub-format GUID.
constexpr std::uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                             0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Returns the block alignment when the fmt chunk describes uncompressed audio SDL can convert.
std::optional<std::uint32_t> checkFormat(const std::uint8_t* fmt, std::uint32_t size) {
    if (size < 16) return std::nullopt;
    int code = le16(fmt);
    const std::uint32_t channels = le16(fmt + 2);
    const std::uint32_t rate = le32(fmt + 4);
    const std::uint32_t blockAlign = le16(fmt + 12);
    const std::uint32_t bits = le16(fmt + 14);
    if (code == kFormatExtensible) {
        if (size < 40 || std::memcmp(fmt + 26, kSubFormatTail, sizeof kSubFormatTail) != 0) return std::nullopt;
        code = le16(fmt + 24);
    }
    const bool pcm = code == kFormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    const bool flt = code == kFormatFloat && bits == 32;
    if (!pcm && !flt) return std::nullopt;
    if (channels < 1 || channels > 8 || rate < 1000 || rate > 384000) return std::nullopt;
    if (blockAlign != channels * (bits / 8)) return std::nullopt;
    return blockAlign;
}

// The length of the WAVE file at the start of the image, taken from its RIFF header, when the
// whole file lies inside the imageBytes available and its chunks are sound; nullopt otherwise.
std::optional<std::size_t> validatedLength(const std::uint8_t* image, std::size_t imageBytes) {
    if (image == nullptr || imageBytes < 12) return std::nullopt;
    if (!tagIs(image, "RIFF") || !tagIs(image + 8, "WAVE")) return std::nullopt;
    const std::uint64_t total = std::uint64_t(le32(image + 4)) + 8;
    if (total > imageBytes || total > std::uint64_t(INT_MAX)) return std::nullopt;
    std::optional<std::uint32_t> blockAlign;
    std::uint64_t pos = 12;
    while (pos + 8 <= total) {
        const std::uint8_t* chunk = image + pos;
        const std::uint64_t size = le32(chunk + 4);
        const std::uint64_t body = pos + 8;
        if (size > total - body) return std::nullopt;
        if (tagIs(chunk, "fmt ")) {
            if (blockAlign) return std::nullopt;  // a second fmt chunk contradicts the first
            blockAlign = checkFormat(chunk + 8, std::uint32_t(size));
            if (!blockAlign) return std::nullopt;
        } else if (tagIs(chunk, "data")) {
            if (!blockAlign || size < *blockAlign) return std::nullopt;
            return std::size_t(total);
        }
        pos = body + size + (size & 1);
    }
    return std::nullopt;
}

struct Buffer {
    Mix_Chunk* chunk = nullptr;
    std::int32_t flags = 0;
    int ownChannel = -1;
    bool looping = false;
};

}  // namespace

struct SdlSoundLibrary::State {
    std::int32_t device = 0;
    std::int32_t lastDevice = 0;
    std::int32_t lastBuffer = 0;
    std::map<std::int32_t, Buffer> buffers;
    int reserved = 0;           // channels 0 .. reserved-1 belong to single buffers
    std::vector<int> freeOwn;   // reserved channels whose buffer was freed

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

    void close() {
        if (device == 0) return;
        Mix_HaltChannel(-1);
        for (auto& [handle, b] : buffers) Mix_FreeChunk(b.chunk);
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

std::int32_t SdlSoundLibrary::dsCreateDSB(std::int32_t device, const std::uint8_t* image, std::size_t imageBytes,
                                          std::int32_t flags) {
    State& s = *state_;
    if (device == 0 || device != s.device) return 0;
    const auto length = validatedLength(image, imageBytes);
    if (!length) return 0;
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
    do {
        if (++s.lastBuffer <= 0) s.lastBuffer = 1;
    } while (s.buffers.count(s.lastBuffer) != 0);
    s.buffers.emplace(s.lastBuffer, b);
    return s.lastBuffer;
}

void SdlSoundLibrary::dsFree(std::int32_t buffer) {
    State& s = *state_;
    Buffer* b = s.find(buffer);
    if (b == nullptr) return;
    State::haltVoices(b->chunk);
    Mix_FreeChunk(b->chunk);
    if (b->ownChannel >= 0) s.freeOwn.push_back(b->ownChannel);
    s.buffers.erase(buffer);
}

void SdlSoundLibrary::dsPlay(std::int32_t buffer) {
    Buffer* b = state_->find(buffer);
    if (b == nullptr) return;
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
    if (b->ownChannel < 0) b->ownChannel = s.takeOwnChannel();
    if (b->looping && Mix_Playing(b->ownChannel) && Mix_GetChunk(b->ownChannel) == b->chunk) return;
    b->looping = Mix_PlayChannel(b->ownChannel, b->chunk, -1) >= 0;
}

void SdlSoundLibrary::dsStop(std::int32_t buffer) {
    Buffer* b = state_->find(buffer);
    if (b == nullptr) return;
    State::haltVoices(b->chunk);
    b->looping = false;
}

}  // namespace quillet
