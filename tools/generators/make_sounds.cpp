// SPDX-License-Identifier: GPL-3.0-or-later
// Synthesises the game's four sounds, the same bytes each run, so the committed files can be
// made again and compared. Run by hand when a sound changes:
//   ninja quillet-make-sounds && ./tools/generators/quillet-make-sounds <repo>/assets

// 駒打音.wav: a piece set down on a wooden board, a hard tap and the board's short ring;
// 禁止.wav: two short low buzzes; その他.wav: a two-note chime; BGM.wav: a calm pentatonic piece
// on a plucked, koto-like string that loops without a seam.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
using Signal = std::vector<double>;

// A fixed-seed generator, so the noise in the sounds is the same on every run and machine.
class Noise {
public:
    explicit Noise(std::uint32_t seed = 0x2545F491u) : state_(seed | 1u) {}
    double next() {  // uniform in [-1, 1)
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return double(state_) / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t state_;
};

double peakOf(const Signal& s) {
    double p = 0;
    for (double v : s) p = std::max(p, std::abs(v));
    return p;
}

void normalise(Signal& s, double peak) {
    const double p = peakOf(s);
    if (p > 0)
        for (double& v : s) v *= peak / p;
}

// Ends the sound at silence: a raised-cosine fade over the last `seconds`.
void fadeOut(Signal& s, int rate, double seconds) {
    const std::size_t n = std::min(s.size(), std::size_t(seconds * rate));
    for (std::size_t i = 0; i < n; ++i)
        s[s.size() - 1 - i] *= 0.5 - 0.5 * std::cos(kPi * double(i) / double(n));
}

bool writeWave(const std::filesystem::path& path, const Signal& s, int rate) {
    std::vector<std::uint8_t> b;
    auto put16 = [&](unsigned v) {
        b.push_back(std::uint8_t(v & 0xFF));
        b.push_back(std::uint8_t((v >> 8) & 0xFF));
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(t[i]));
    };
    const std::uint32_t dataBytes = std::uint32_t(s.size() * 2);
    tag("RIFF");
    put32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1);  // PCM
    put16(1);  // mono
    put32(std::uint32_t(rate));
    put32(std::uint32_t(rate * 2));
    put16(2);
    put16(16);
    tag("data");
    put32(dataBytes);
    for (double v : s) {
        const long q = std::lround(std::clamp(v, -1.0, 1.0) * 32767.0);
        put16(unsigned(std::uint16_t(std::int16_t(q))));
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    return bool(out);
}

// ---- 駒打音: the board's modes, struck hard and damped fast ---------------------------------
Signal pieceClick(int rate) {
    Signal s(std::size_t(0.14 * rate), 0.0);
    struct Mode {
        double freq, amp, decay;
    };
    // A thick wooden board rings low and briefly; the piece's own hard tap gives the high modes.
    const Mode modes[] = {{190, 0.55, 0.016},  {620, 0.8, 0.012},   {1340, 0.65, 0.008},
                          {2270, 0.45, 0.005}, {3480, 0.3, 0.0035}, {5150, 0.18, 0.0025}};
    Noise noise;
    double low = 0, lowState = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / rate;
        double v = 0;
        for (const Mode& m : modes) v += m.amp * std::exp(-t / m.decay) * std::sin(2 * kPi * m.freq * t);
        // The contact itself: a burst of noise with its lowest part taken out, a few ms long.
        low += 0.25 * (noise.next() - low);
        const double bright = low - lowState;
        lowState = low;
        v += 1.4 * bright * std::exp(-t / 0.0015);
        s[i] = v * std::min(1.0, t / 0.0002);  // sharp, but not a bare step from silence
    }
    fadeOut(s, rate, 0.03);
    normalise(s, 0.71);
    return s;
}

// ---- 禁止: two buzzes of a detuned, band-limited square wave ----------------------------------
Signal refusalBuzz(int rate) {
    const double pulse = 0.12, gap = 0.06;
    Signal s(std::size_t((2 * pulse + gap + 0.02) * rate), 0.0);
    auto buzz = [&](double start) {
        for (std::size_t i = std::size_t(start * rate);
             i < std::size_t((start + pulse) * rate) && i < s.size(); ++i) {
            const double t = double(i) / rate - start;
            const double env = std::min({1.0, t / 0.006, (pulse - t) / 0.02});
            double v = 0;
            for (double base : {150.0, 154.5})  // two voices a little apart give it a rasp
                for (int n = 1; n * base < 4500; n += 2) v += std::sin(2 * kPi * n * base * t) / n;
            s[i] += env * v;
        }
    };
    buzz(0.0);
    buzz(pulse + gap);
    normalise(s, 0.6);
    return s;
}

// ---- その他: two bell strokes ----------------------------------------------------------------
Signal chime(int rate) {
    Signal s(std::size_t(1.3 * rate), 0.0);
    struct Partial {
        double ratio, amp, decay;
    };
    // Tubular-bell partials: inharmonic above the fundamental, the high ones dying first.
    const Partial partials[] = {
        {1.0, 1.0, 0.55}, {2.0, 0.35, 0.4}, {2.76, 0.5, 0.25}, {5.40, 0.25, 0.12}, {8.93, 0.12, 0.06}};
    auto stroke = [&](double start, double freq, double gain) {
        for (std::size_t i = std::size_t(start * rate); i < s.size(); ++i) {
            const double t = double(i) / rate - start;
            const double attack = std::min(1.0, t / 0.002);
            double v = 0;
            for (const Partial& p : partials)
                if (p.ratio * freq < 0.45 * rate)
                    v += p.amp * std::exp(-t / p.decay) * std::sin(2 * kPi * p.ratio * freq * t);
            s[i] += gain * attack * v;
        }
    };
    stroke(0.0, 880.0, 1.0);      // A5
    stroke(0.16, 1318.51, 0.85);  // E6
    fadeOut(s, rate, 0.08);
    normalise(s, 0.6);
    return s;
}

// ---- BGM ---------------------------------------------------------------------------------------

double midiToHz(double m) { return 440.0 * std::pow(2.0, (m - 69.0) / 12.0); }

struct Note {
    double beat;  // start, in beats from the start of the piece
    int midi;
    double gain;
    double bendFrom = 0;  // semitones below the note it starts at, pressed up to pitch (oshide)
};

// A koto-like pluck added into `out` from sample `start`: bright partials from a pick near the
// bridge, slightly stretched like a stiff string, the upper ones dying faster.
void pluck(Signal& out, int rate, std::size_t start, const Note& note, Noise noise) {
    const double f0 = midiToHz(note.midi);
    const double ringFor = 1.5 * std::pow(220.0 / f0, 0.35);  // low strings ring longer
    const double length = 7.0 * ringFor;
    const std::size_t n = std::min(out.size() - std::min(out.size(), start), std::size_t(length * rate));
    const double pickAt = 0.12;
    const double stiffness = 0.00012;
    std::vector<double> amp, fall, ratio, phase;
    for (int k = 1; k * f0 < 8000 && k <= 32; ++k) {
        amp.push_back(std::abs(std::sin(k * kPi * pickAt)) / std::pow(double(k), 1.15));
        fall.push_back(std::exp(-(1.0 + 0.45 * (k - 1)) / (ringFor * rate)));  // per sample
        ratio.push_back(k * std::sqrt(1.0 + stiffness * k * k));
        phase.push_back(0.0);
    }
    double hiss = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = double(i) / rate;
        // The press up to pitch: starts bendFrom semitones low, rises smoothly over 0.18 s after 0.25 s.
        double semis = 0;
        if (note.bendFrom > 0) {
            const double x = std::clamp((t - 0.25) / 0.18, 0.0, 1.0);
            semis = -note.bendFrom * (1.0 - (0.5 - 0.5 * std::cos(kPi * x)));
        }
        const double f = f0 * std::pow(2.0, semis / 12.0);
        double v = 0;
        for (std::size_t k = 0; k < amp.size(); ++k) {
            phase[k] += 2 * kPi * ratio[k] * f / rate;
            v += amp[k] * std::sin(phase[k]);
            amp[k] *= fall[k];
        }
        hiss += 0.5 * (noise.next() - hiss);  // the pick's scrape on the string
        v += 0.12 * hiss * std::exp(-t / 0.004);
        const double attack = std::min(1.0, t / 0.0015);
        const double tail = std::min(1.0, (length - t) / 0.08);  // reach silence, never cut off
        out[start + i] += note.gain * attack * tail * v;
    }
}

// A small Schroeder room: four combs in parallel, two all-passes in series, mixed in lightly.
void addRoom(Signal& s, int rate) {
    const double scale = rate / 44100.0;
    const int combLen[] = {1557, 1617, 1491, 1422};
    const int passLen[] = {225, 556};
    Signal wet(s.size(), 0.0);
    for (int L : combLen) {
        const std::size_t len = std::size_t(L * scale);
        std::vector<double> line(len, 0.0);
        double damp = 0;
        std::size_t at = 0;
        for (std::size_t i = 0; i < s.size(); ++i) {
            const double y = line[at];
            damp = 0.7 * y + 0.3 * damp;
            line[at] = s[i] + 0.8 * damp;
            wet[i] += y / 4;
            at = (at + 1) % len;
        }
    }
    for (int L : passLen) {
        const std::size_t len = std::size_t(L * scale);
        std::vector<double> line(len, 0.0);
        std::size_t at = 0;
        for (double& v : wet) {
            const double delayed = line[at];
            const double in = v + 0.5 * delayed;
            line[at] = in;
            v = delayed - 0.5 * in;
            at = (at + 1) % len;
        }
    }
    for (std::size_t i = 0; i < s.size(); ++i) s[i] = 0.82 * s[i] + 0.3 * wet[i];
}

std::vector<Note> score() {
    // D yo scale (D E G A B). Eight bars of four beats; melody first, then the low strings.
    enum {
        D3 = 50,
        E3 = 52,
        G3 = 55,
        A3 = 57,
        B3 = 59,
        D4 = 62,
        E4 = 64,
        G4 = 67,
        A4 = 69,
        B4 = 71,
        D5 = 74,
        E5 = 76
    };
    const double m = 0.8;
    // One bar to a line, as a score reads.
    // clang-format off
    std::vector<Note> notes = {
        // 1
        {0, A4, m}, {1, B4, 0.6}, {1.5, A4, 0.55}, {2, G4, 0.7}, {3, E4, 0.7},
        // 2
        {4, D4, m}, {5.5, E4, 0.55}, {6, G4, 0.75},
        // 3
        {8, A4, m}, {9, D5, 0.8}, {10, B4, 0.6}, {10.5, A4, 0.55}, {11, G4, 0.7},
        // 4: pressed up from G to A, then let ring
        {12, A4, m, 2.0}, {12, A3, 0.35},
        // 5
        {16, D5, m}, {17, E5, 0.6}, {17.5, D5, 0.55}, {18, B4, 0.7}, {19, A4, 0.7},
        // 6
        {20, G4, m}, {21.5, A4, 0.55}, {22, B4, 0.7}, {23, G4, 0.6},
        // 7
        {24, E4, m}, {25, G4, 0.6}, {25.5, A4, 0.55}, {26, G4, 0.7}, {27, E4, 0.65},
        // 8: home, an octave below under it
        {28, D4, m}, {28, D3, 0.4}, {30.5, A3, 0.25},
    };
    // clang-format on
    // Each bar's low strings: root on the first beat, fifth on the third, root an octave up after.
    const int roots[8][2] = {{D3, A3}, {D3, A3}, {G3, D4}, {A3, E4}, {G3, D4}, {E3, B3}, {A3, E4}, {D3, A3}};
    for (int bar = 0; bar < 8; ++bar) {
        const double b = 4.0 * bar;
        notes.push_back({b, roots[bar][0], 0.45});
        notes.push_back({b + 2, roots[bar][1], 0.3});
        if (bar != 3 && bar != 7) notes.push_back({b + 3.5, roots[bar][0], 0.22});
    }
    return notes;
}

Signal music(int rate) {
    const double beat = 60.0 / 88.0;
    const double bars = 8, beatsPerBar = 4;
    const std::size_t period = std::size_t(std::lround(bars * beatsPerBar * beat * rate));
    // Played twice through, the room included; the second turn is what any turn sounds like
    // after the one before (every note dies within one turn), so its end runs straight into its
    // own start.
    Signal s(2 * period, 0.0);
    const auto notes = score();
    for (int turn = 0; turn < 2; ++turn)
        for (std::size_t i = 0; i < notes.size(); ++i)  // each note's scrape the same every turn
            pluck(s, rate, turn * period + std::size_t(std::lround(notes[i].beat * beat * rate)), notes[i],
                  Noise(std::uint32_t(0x9E3779B9u * (i + 1))));
    addRoom(s, rate);
    Signal one(s.begin() + long(period), s.end());
    normalise(one, 0.7);
    return one;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    if (!std::filesystem::is_directory(dir)) {
        std::fprintf(stderr, "%s: not a folder: %s\n", argv[0], argv[1]);
        return 2;
    }
    struct Output {
        const char* name;
        Signal sound;
        int rate;
    };
    const Output outputs[] = {{"駒打音.wav", pieceClick(44100), 44100},
                              {"禁止.wav", refusalBuzz(44100), 44100},
                              {"その他.wav", chime(44100), 44100},
                              // At the mixer's own rate: a resampler pads the ends of a buffer with
                              // silence, which would put a tick into the loop's seam.
                              {"BGM.wav", music(44100), 44100}};
    for (const Output& o : outputs) {
        const auto path = dir / o.name;
        if (!writeWave(path, o.sound, o.rate)) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.string().c_str());
            return 1;
        }
        std::printf("%s  %.2f s  peak %.3f\n", path.string().c_str(), double(o.sound.size()) / o.rate,
                    peakOf(o.sound));
    }
    return 0;
}
