#include "audio_files.h"

#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <stdexcept>

#include "byte_io.h"

namespace demo {
namespace {

std::vector<int16_t> ToPcm(const std::vector<float>& samples) {
  std::vector<int16_t> pcm(samples.size());
  for (size_t i = 0; i < samples.size(); ++i) {
    const float v = std::clamp(samples[i], -1.0f, 1.0f);
    pcm[i] = static_cast<int16_t>(std::lround(v * 32767.0f));
  }
  return pcm;
}

}  // namespace

std::string EncodeWav(const std::vector<float>& samples, int sample_rate) {
  const std::vector<int16_t> pcm = ToPcm(samples);
  const auto data_bytes = static_cast<uint32_t>(pcm.size() * 2);
  std::string s = "RIFF";
  Put32(s, 36 + data_bytes);
  s += "WAVEfmt ";
  Put32(s, 16);
  Put16(s, 1);  // PCM
  Put16(s, 1);  // mono
  Put32(s, static_cast<uint32_t>(sample_rate));
  Put32(s, static_cast<uint32_t>(sample_rate) * 2);
  Put16(s, 2);   // block align
  Put16(s, 16);  // bits per sample
  s += "data";
  Put32(s, data_bytes);
  for (const int16_t v : pcm) Put16(s, static_cast<uint16_t>(v));
  return s;
}

std::string EncodeMp3(const std::vector<float>& samples, int sample_rate, int kbps) {
  std::unique_ptr<lame_global_flags, int (*)(lame_global_flags*)> lame(lame_init(), lame_close);
  if (!lame) throw std::runtime_error("cannot start the MP3 encoder");
  lame_set_in_samplerate(lame.get(), sample_rate);
  lame_set_out_samplerate(lame.get(), sample_rate);
  lame_set_num_channels(lame.get(), 1);
  lame_set_mode(lame.get(), MONO);
  lame_set_brate(lame.get(), kbps);
  lame_set_quality(lame.get(), 2);
  lame_set_bWriteVbrTag(lame.get(), 0);  // no header frame that would need a second pass
  if (lame_init_params(lame.get()) < 0) throw std::runtime_error("bad MP3 encoder settings");

  std::vector<int16_t> pcm = ToPcm(samples);
  std::string out;
  std::vector<unsigned char> buf(pcm.size() * 5 / 4 + 7200);
  const int n = lame_encode_buffer(lame.get(), pcm.data(), pcm.data(), static_cast<int>(pcm.size()),
                                   buf.data(), static_cast<int>(buf.size()));
  if (n < 0) throw std::runtime_error("MP3 encoding failed");
  out.append(reinterpret_cast<const char*>(buf.data()), static_cast<size_t>(n));
  const int m = lame_encode_flush(lame.get(), buf.data(), static_cast<int>(buf.size()));
  if (m < 0) throw std::runtime_error("MP3 encoding failed");
  out.append(reinterpret_cast<const char*>(buf.data()), static_cast<size_t>(m));
  return out;
}

}  // namespace demo
