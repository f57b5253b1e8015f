// Writes the program's own alarm, played when alarm.wav is missing or cannot
// be played: three pairs of short tones, 16-bit mono PCM at 22 050 Hz.
// Run at build time; the WAV it writes is bundled as a resource.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {
constexpr int Rate = 22050;
constexpr double Pi = 3.14159265358979323846;

void tone(std::vector<int16_t>& samples, double hertz, double seconds)
{
    const int count = int(seconds * Rate);
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / Rate;
        // A quick rise and an exponential fall, like a struck bell.
        const double envelope = std::fmin(1.0, t / 0.005) * std::exp(-t * 6.0);
        const double wave = std::sin(2 * Pi * hertz * t) + 0.3 * std::sin(4 * Pi * hertz * t);
        samples.push_back(int16_t(std::lround(wave / 1.3 * envelope * 0.6 * 32767)));
    }
}

void silence(std::vector<int16_t>& samples, double seconds)
{
    samples.insert(samples.end(), size_t(seconds * Rate), 0);
}

void put32(std::FILE* out, uint32_t value)
{
    const unsigned char bytes[4]
        = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    std::fwrite(bytes, 1, 4, out);
}

void put16(std::FILE* out, uint16_t value)
{
    const unsigned char bytes[2] = {uint8_t(value), uint8_t(value >> 8)};
    std::fwrite(bytes, 1, 2, out);
}
} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output.wav\n", argv[0]);
        return 2;
    }
    std::vector<int16_t> samples;
    for (int pair = 0; pair < 3; ++pair) {
        tone(samples, 880.0, 0.22);
        tone(samples, 660.0, 0.30);
        silence(samples, 0.12);
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    std::fwrite("RIFF", 1, 4, out);
    put32(out, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, out);
    put32(out, 16); // PCM header size
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, Rate);
    put32(out, Rate * 2); // bytes per second
    put16(out, 2); // bytes per frame
    put16(out, 16); // bits per sample
    std::fwrite("data", 1, 4, out);
    put32(out, dataBytes);
    for (int16_t sample : samples) {
        put16(out, uint16_t(sample));
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
