// 16-bit stereo PCM WAV, little-endian, the canonical 44-byte header.
#include "tools/capture/wav_writer.h"

#include <cerrno>
#include <cstring>

namespace {

void Put32(uint8_t* b, uint32_t v) {
    for (int i = 0; i < 4; i++) b[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(uint8_t* b, uint16_t v) {
    b[0] = static_cast<uint8_t>(v);
    b[1] = static_cast<uint8_t>(v >> 8);
}

// The header for `dataBytes` bytes of sound at `rate` frames a second.
void Header(uint8_t* h, uint32_t dataBytes, int rate) {
    std::memcpy(h, "RIFF", 4);
    Put32(h + 4, 36 + dataBytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    Put32(h + 16, 16);
    Put16(h + 20, 1);  // PCM
    Put16(h + 22, 2);  // stereo
    Put32(h + 24, static_cast<uint32_t>(rate));
    Put32(h + 28, static_cast<uint32_t>(rate) * 4);
    Put16(h + 32, 4);
    Put16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    Put32(h + 40, dataBytes);
}

}  // namespace

bool WavWriter::Open(const std::string& path, int rate, std::string& why, const std::string& shownAs) {
    path_ = shownAs.empty() ? path : shownAs;
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) {
        why = "cannot write " + path_ + ": " + std::strerror(errno);
        return false;
    }
    uint8_t header[44];
    Header(header, 0, rate);
    failed_ = std::fwrite(header, 1, sizeof header, file_) != sizeof header;
    // The rate is patched in again with the sizes; keep it for Close.
    frames_ = 0;
    rate_ = rate;
    return true;
}

bool WavWriter::Write(const int16_t* samples, int frames) {
    if (!file_ || frames <= 0) return file_ != nullptr;
    uint8_t buffer[4096 * 4];
    while (frames > 0) {
        const int n = frames < 4096 ? frames : 4096;
        for (int i = 0; i < 2 * n; i++) Put16(buffer + 2 * i, static_cast<uint16_t>(samples[i]));
        if (std::fwrite(buffer, 1, static_cast<size_t>(n) * 4, file_) != static_cast<size_t>(n) * 4) failed_ = true;
        samples += 2 * n;
        frames -= n;
        frames_ += n;
    }
    return !failed_;
}

bool WavWriter::Close(std::string& why) {
    if (!file_) return true;
    uint8_t header[44];
    Header(header, static_cast<uint32_t>(frames_ * 4), rate_);
    if (std::fseek(file_, 0, SEEK_SET) != 0 || std::fwrite(header, 1, sizeof header, file_) != sizeof header)
        failed_ = true;
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    if (failed_) why = "cannot write " + path_ + " (disk full?)";
    return !failed_;
}
