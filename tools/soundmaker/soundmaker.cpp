// soundmaker OUTDIR LOOP.wav
//
// Writes the four effect sounds 01.wav to 04.wav into OUTDIR and the
// background loop, still as WAV, to LOOP.wav. Everything is synthesised, so
// the sounds are ours and the build needs no recordings. Output is 16-bit
// mono PCM at 44.1 kHz and the same on every run.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

using Samples = std::vector<double>;

Samples silence(double seconds)
{
    return Samples(std::size_t(std::lround(seconds * kRate)), 0.0);
}

// Deterministic noise: the files must not change from one build to the next.
class Noise
{
public:
    double next()
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return double(state >> 11) / double(1ULL << 53) * 2.0 - 1.0;
    }

private:
    std::uint64_t state = 0x9E3779B97F4A7C15ULL;
};

// A struck tone: a few inharmonic partials, each decaying on its own, give
// a small bell or glass colour rather than a beep.
void addBell(Samples &out, double start, double frequency, double gain, double decay)
{
    struct Partial {
        double ratio, level, decayScale;
    };
    const Partial partials[] = {{1.0, 1.0, 1.0}, {2.0, 0.35, 0.6}, {2.76, 0.18, 0.45}, {5.4, 0.06, 0.25}};
    const std::size_t first = std::size_t(start * kRate);
    const std::size_t length = std::size_t(decay * 6.0 * kRate);
    for (std::size_t i = 0; i < length && first + i < out.size(); ++i) {
        const double t = double(i) / kRate;
        // A 3 ms attack keeps the onset from clicking.
        const double attack = std::min(1.0, t / 0.003);
        double value = 0.0;
        for (const Partial &p : partials)
            value +=
                p.level * std::exp(-t / (decay * p.decayScale)) * std::sin(2 * kPi * frequency * p.ratio * t);
        out[first + i] += gain * attack * value;
    }
}

// The button click: a very short knock of filtered noise over a high tick.
Samples click()
{
    Samples out = silence(0.06);
    Noise noise;
    double low = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kRate;
        low += 0.35 * (noise.next() - low);
        const double knock = low * std::exp(-t / 0.004);
        const double tick = std::sin(2 * kPi * 2400 * t) * std::exp(-t / 0.008);
        out[i] = 0.30 * knock + 0.22 * tick;
    }
    return out;
}

// Opening or switching a page: a soft swish that rises and settles, with a
// low tone under it.
Samples swish()
{
    Samples out = silence(0.34);
    Noise noise;
    double band = 0.0, slow = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kRate;
        const double position = t / 0.34;
        // The filter opens as the swish passes, then closes again.
        const double opening = 0.04 + 0.5 * std::sin(kPi * position);
        band += opening * (noise.next() - band);
        slow += 0.02 * (band - slow);
        const double envelope = std::sin(kPi * position) * std::sin(kPi * position);
        const double tone = std::sin(2 * kPi * (330 + 110 * position) * t) * 0.12;
        out[i] = envelope * (0.45 * (band - slow) + tone);
    }
    return out;
}

void normalise(Samples &samples, double peak)
{
    double highest = 0.0;
    for (double s : samples)
        highest = std::max(highest, std::fabs(s));
    if (highest <= 0.0)
        return;
    for (double &s : samples)
        s *= peak / highest;
}

// A short fade at the end so that no sound stops on a non-zero sample.
void fadeTail(Samples &samples, double seconds)
{
    const std::size_t n = std::min(samples.size(), std::size_t(seconds * kRate));
    for (std::size_t i = 0; i < n; ++i)
        samples[samples.size() - 1 - i] *= double(i) / double(n);
}

// The background: a quiet pad of sustained tones whose frequencies are all
// whole multiples of 1 / length, so every partial and the slow swell end
// exactly where they began and the loop has no seam.
Samples backgroundLoop()
{
    constexpr double kLength = 8.0;
    Samples out = silence(kLength);
    struct Voice {
        double frequency, level, swellCycles, swellPhase;
    };
    // A2, E3, A3, C#4 and B4, each a whole number of cycles in 8 s, with a
    // slightly detuned twin for the A's to make the pad breathe.
    const Voice voices[] = {
        {110.0, 1.0, 1, 0.0}, {110.25, 0.6, 1, 1.3},  {164.75, 0.55, 2, 0.7},  {220.0, 0.45, 1, 2.1},
        {220.5, 0.3, 2, 0.2}, {277.125, 0.3, 1, 4.0}, {493.875, 0.08, 3, 1.0},
    };
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kRate;
        double value = 0.0;
        for (const Voice &v : voices) {
            const double swell = 0.65 + 0.35 * std::sin(2 * kPi * v.swellCycles * t / kLength + v.swellPhase);
            value += v.level * swell * std::sin(2 * kPi * v.frequency * t);
        }
        out[i] = value;
    }
    // Quiet: the pad sits well under the effects.
    normalise(out, 0.12);
    return out;
}

bool writeWav(const std::string &path, const Samples &samples)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    auto put32 = [&file](std::uint32_t v) {
        const char bytes[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        file.write(bytes, 4);
    };
    auto put16 = [&file](std::uint16_t v) {
        const char bytes[2] = {char(v), char(v >> 8)};
        file.write(bytes, 2);
    };
    const std::uint32_t dataBytes = std::uint32_t(samples.size() * 2);
    file.write("RIFF", 4);
    put32(36 + dataBytes);
    file.write("WAVEfmt ", 8);
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(kRate);
    put32(kRate * 2);
    put16(2);
    put16(16);
    file.write("data", 4);
    put32(dataBytes);
    for (double s : samples) {
        const double clamped = std::max(-1.0, std::min(1.0, s));
        put16(std::uint16_t(std::int16_t(std::lround(clamped * 32767.0))));
    }
    return bool(file);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUTDIR LOOP.wav\n", argv[0]);
        return 2;
    }
    const std::string outDir = argv[1];

    // 01: a gentle two-note chime.
    Samples chime = silence(1.1);
    addBell(chime, 0.0, 659.25, 0.5, 0.16);
    addBell(chime, 0.09, 987.77, 0.4, 0.14);
    normalise(chime, 0.45);
    fadeTail(chime, 0.05);

    // 02: page open, switch or close.
    Samples page = swish();
    normalise(page, 0.40);
    fadeTail(page, 0.02);

    // 03: the web link, a brighter rising chime.
    Samples link = silence(0.9);
    addBell(link, 0.0, 783.99, 0.45, 0.10);
    addBell(link, 0.07, 1046.5, 0.45, 0.10);
    addBell(link, 0.14, 1567.98, 0.35, 0.12);
    normalise(link, 0.40);
    fadeTail(link, 0.05);

    // 04: the click of buttons, check boxes and radio buttons.
    Samples tap = click();
    normalise(tap, 0.35);
    fadeTail(tap, 0.01);

    const struct {
        const char *name;
        const Samples &samples;
    } effects[] = {{"01.wav", chime}, {"02.wav", page}, {"03.wav", link}, {"04.wav", tap}};
    for (const auto &effect : effects) {
        const std::string path = outDir + "/" + effect.name;
        if (!writeWav(path, effect.samples)) {
            std::fprintf(stderr, "soundmaker: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    if (!writeWav(argv[2], backgroundLoop())) {
        std::fprintf(stderr, "soundmaker: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
