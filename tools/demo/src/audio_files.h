// Encoders for the sound files of the dictionary: WAV (16-bit PCM, mono) and MP3 (MPEG-1/2
// layer III through the LAME encoding library, constant bit rate, mono, no tag).
//
// Both take float samples in [-1, 1] and return the file's bytes. Free functions.
#pragma once

#include <string>
#include <vector>

namespace demo {

std::string EncodeWav(const std::vector<float>& samples, int sample_rate);

// Throws std::runtime_error when the encoder cannot be set up.
std::string EncodeMp3(const std::vector<float>& samples, int sample_rate, int kbps = 48);

}  // namespace demo
