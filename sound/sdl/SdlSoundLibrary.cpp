// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sdl/SdlSoundLibrary.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace quillet {

namespace {

constexpr int kSharedChannels = 16;  // enough for a burst of overlapping clicks
constexpr int kSharedTag = 1;
constexpr int kOwnTag = 2;

std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
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
        if (size < 40 || std::memcmp(fmt + 26, kSubFormatTail, sizeof kSubFormatTail) != 0)
            return std::nullopt;
        // SDL's decoder of the effects wants the whole extension; the music's does not look.
        if (le16(fmt + 16) < 22) return std::nullopt;
        code = le16(fmt + 24);
    }
    const bool pcm = code == kFormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    const bool flt = code == kFormatFloat && bits == 32;
    if (!pcm && !flt) return std::nullopt;
    if (channels < 1 || channels > 8 || rate < 1000 || rate > 384000) return std::nullopt;
    if (blockAlign != channels * (bits / 8)) return std::nullopt;
    return blockAlign;
}

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
std::optional<WaveLayout> validatedLayout(const std::uint8_t* image, std::size_t imageBytes) {
    if (image == nullptr || imageBytes < 12) return std::nullopt;
    if (!tagIs(image, "RIFF") || !tagIs(image + 8, "WAVE")) return std::nullopt;
    const std::uint64_t total = std::uint64_t(le32(image + 4)) + 8;
    if (total > imageBytes || total > std::uint64_t(INT_MAX)) return std::nullopt;
    std::optional<std::uint32_t> blockAlign;
    WaveLayout layout;
    layout.length = std::size_t(total);
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
            layout.fmt = std::size_t(body);
            layout.fmtBytes = std::size_t(size);
        } else if (tagIs(chunk, "data")) {
            if (!blockAlign || size < *blockAlign) return std::nullopt;
            layout.data = std::size_t(body);
            layout.dataBytes = std::size_t(size);
            return layout;
        }
        pos = body + size + (size & 1);
    }
    return std::nullopt;
}

std::optional<std::size_t> validatedLength(const std::uint8_t* image, std::size_t imageBytes) {
    const auto layout = validatedLayout(image, imageBytes);
    if (!layout) return std::nullopt;
    return layout->length;
}

// The music decoder reads a WAVE image through this view of it: a canonical header (RIFF, the
// fmt chunk, the data chunk's header) followed by the image's own samples, read in place. The
// decoder then sees just what validatedLayout checked, and none of the other chunks a WAVE file
// may hold (which SDL_mixer's music decoder does not all step over as the effects' decoder does:
// it misses the pad byte after an odd-sized chunk).
struct WaveView {
    std::vector<std::uint8_t> header;
    const std::uint8_t* data = nullptr;
    std::size_t dataBytes = 0;
    std::size_t pos = 0;

    std::size_t size() const { return header.size() + dataBytes; }
    static WaveView* of(SDL_RWops* rw) { return static_cast<WaveView*>(rw->hidden.unknown.data1); }
};

void putLe32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}
void putTag(std::vector<std::uint8_t>& b, const char* tag) {
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(tag[i]));
}

Sint64 viewSize(SDL_RWops* rw) { return Sint64(WaveView::of(rw)->size()); }

Sint64 viewSeek(SDL_RWops* rw, Sint64 offset, int whence) {
    WaveView& v = *WaveView::of(rw);
    Sint64 base = 0;
    switch (whence) {
        case RW_SEEK_SET: break;
        case RW_SEEK_CUR: base = Sint64(v.pos); break;
        case RW_SEEK_END: base = Sint64(v.size()); break;
        default: return SDL_SetError("bad seek");
    }
    const Sint64 to = base + offset;
    if (to < 0) return SDL_SetError("seek before the start");
    v.pos = std::min(std::size_t(to), v.size());
    return Sint64(v.pos);
}

size_t viewRead(SDL_RWops* rw, void* out, size_t size, size_t count) {
    WaveView& v = *WaveView::of(rw);
    if (size == 0 || count == 0 || v.pos >= v.size()) return 0;
    const std::size_t whole = std::min(count, (v.size() - v.pos) / size);
    std::size_t want = whole * size;
    auto* to = static_cast<std::uint8_t*>(out);
    while (want > 0) {
        std::size_t n;
        if (v.pos < v.header.size()) {
            n = std::min(want, v.header.size() - v.pos);
            std::memcpy(to, v.header.data() + v.pos, n);
        } else {
            n = std::min(want, v.size() - v.pos);
            std::memcpy(to, v.data + (v.pos - v.header.size()), n);
        }
        to += n;
        v.pos += n;
        want -= n;
    }
    return whole;
}

size_t viewWrite(SDL_RWops*, const void*, size_t, size_t) { return 0; }

int viewClose(SDL_RWops* rw) {
    delete WaveView::of(rw);
    SDL_FreeRW(rw);
    return 0;
}

// A reader of the view of a checked image, which must outlive it; null when none can be made.
SDL_RWops* openView(const std::uint8_t* image, const WaveLayout& layout) {
    auto* view = new WaveView;
    view->header.reserve(64);
    // Plain PCM and float need the first 16 bytes of fmt, the extensible format its 40.
    const std::size_t fmtBytes = le16(image + layout.fmt) == kFormatExtensible ? 40 : 16;
    putTag(view->header, "RIFF");
    putLe32(view->header, std::uint32_t(4 + 8 + fmtBytes + 8 + layout.dataBytes));
    putTag(view->header, "WAVE");
    putTag(view->header, "fmt ");
    putLe32(view->header, std::uint32_t(fmtBytes));
    view->header.insert(view->header.end(), image + layout.fmt, image + layout.fmt + fmtBytes);
    putTag(view->header, "data");
    putLe32(view->header, std::uint32_t(layout.dataBytes));
    view->data = image + layout.data;
    view->dataBytes = layout.dataBytes;
    SDL_RWops* rw = SDL_AllocRW();
    if (rw == nullptr) {
        delete view;
        return nullptr;
    }
    rw->type = SDL_RWOPS_UNKNOWN;
    rw->size = viewSize;
    rw->seek = viewSeek;
    rw->read = viewRead;
    rw->write = viewWrite;
    rw->close = viewClose;
    rw->hidden.unknown.data1 = view;
    return rw;
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
