// SPDX-License-Identifier: GPL-3.0-or-later
#include <climits>
#include <cstring>
#include <vector>

#include "sound/sdl/WaveImage.h"

namespace quillet::wave {

namespace {

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

}  // namespace

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

}  // namespace quillet::wave
