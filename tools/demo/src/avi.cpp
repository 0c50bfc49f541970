#include "avi.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "byte_io.h"
#include "raster.h"

namespace demo {
namespace {

std::string Chunk(const std::string& id, const std::string& data) {
  std::string s = id;
  Put32(s, static_cast<uint32_t>(data.size()));
  s += data;
  if (data.size() % 2 != 0) s += '\0';
  return s;
}

std::string List(const std::string& type, const std::string& data) {
  return Chunk("LIST", type + data);
}

// Beat points of the usual conducting patterns in a unit box (y down): beat 1 is always
// the downbeat at the bottom.
std::vector<Point> Pattern(int beats) {
  switch (beats) {
    case 2:
      return {{0.0, 0.75}, {0.25, -0.55}};
    case 3:
      return {{0.0, 0.75}, {0.7, 0.35}, {0.15, -0.6}};
    case 4:
      return {{0.0, 0.75}, {-0.7, 0.35}, {0.75, 0.35}, {0.15, -0.6}};
    default:
      throw std::invalid_argument("beat pattern must have 2, 3 or 4 beats");
  }
}

// Position along the pattern at `phase` beats (0 <= phase < beats): the tip bounces on each
// beat point and swings on to the next one.
Point TipAt(const std::vector<Point>& pts, double phase) {
  const size_t n = pts.size();
  const size_t i = static_cast<size_t>(phase) % n;
  const double t = phase - std::floor(phase);
  const Point a = pts[i];
  const Point b = pts[(i + 1) % n];
  const double ease = 0.5 - 0.5 * std::cos(t * 3.14159265358979);
  const double lift = std::sin(t * 3.14159265358979) * 0.35;  // rebound above the line
  return {a.x + (b.x - a.x) * ease, a.y + (b.y - a.y) * ease - lift};
}

std::string FrameBytes(const Canvas& c) {
  std::string s;
  const int stride = (c.width() * 3 + 3) & ~3;
  for (int y = c.height() - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < c.width(); ++x) {
      const Rgb p = c.At(x, y);
      row += static_cast<char>(p.b);
      row += static_cast<char>(p.g);
      row += static_cast<char>(p.r);
    }
    row.resize(static_cast<size_t>(stride), '\0');
    s += row;
  }
  return s;
}

}  // namespace

std::string ConductingAvi(int beats, double bpm, int bars, int width, int height, int fps) {
  const std::vector<Point> pts = Pattern(beats);
  const int frames = static_cast<int>(std::lround(bars * beats * 60.0 / bpm * fps));
  const double scale = height * 0.42;
  auto to_pixels = [&](Point p) {
    return Point{width / 2.0 + p.x * scale, height / 2.0 + p.y * scale};
  };

  std::vector<std::string> chunks;
  for (int f = 0; f < frames; ++f) {
    Canvas c(width, height, {24, 32, 64});
    for (const Point& p : pts) c.Fill(Path().Ellipse(to_pixels(p), 1.6, 1.6), {90, 110, 160});
    const double phase = std::fmod(f * bpm / 60.0 / fps, beats);
    for (int k = 6; k >= 1; --k) {  // the trail: earlier positions, fainter
      const double earlier = std::fmod(phase - k * 0.06 + beats, static_cast<double>(beats));
      c.Fill(Path().Ellipse(to_pixels(TipAt(pts, earlier)), 1.5, 1.5), {240, 200, 90},
             0.12 * (7 - k));
    }
    c.Fill(Path().Ellipse(to_pixels(TipAt(pts, phase)), 2.4, 2.4), {255, 240, 160});
    chunks.push_back(FrameBytes(c));
  }
  const auto frame_size = static_cast<uint32_t>(chunks.empty() ? 0 : chunks[0].size());

  std::string avih;
  Put32(avih, static_cast<uint32_t>(1'000'000 / fps));  // microseconds per frame
  Put32(avih, frame_size * static_cast<uint32_t>(fps));
  Put32(avih, 0);
  Put32(avih, 0x10);  // has index
  Put32(avih, static_cast<uint32_t>(frames));
  Put32(avih, 0);
  Put32(avih, 1);  // streams
  Put32(avih, frame_size);
  Put32(avih, static_cast<uint32_t>(width));
  Put32(avih, static_cast<uint32_t>(height));
  for (int i = 0; i < 4; ++i) Put32(avih, 0);

  std::string strh = "vids";
  strh += "DIB ";
  Put32(strh, 0);                           // flags
  Put16(strh, 0);                           // priority
  Put16(strh, 0);                           // language
  Put32(strh, 0);                           // initial frames
  Put32(strh, 1);                           // scale
  Put32(strh, static_cast<uint32_t>(fps));  // rate
  Put32(strh, 0);                           // start
  Put32(strh, static_cast<uint32_t>(frames));
  Put32(strh, frame_size);
  Put32(strh, 0xFFFFFFFF);  // quality: default
  Put32(strh, 0);           // sample size
  Put16(strh, 0);
  Put16(strh, 0);
  Put16(strh, static_cast<uint32_t>(width));
  Put16(strh, static_cast<uint32_t>(height));

  std::string strf;
  Put32(strf, 40);
  Put32(strf, static_cast<uint32_t>(width));
  Put32(strf, static_cast<uint32_t>(height));
  Put16(strf, 1);
  Put16(strf, 24);
  Put32(strf, 0);
  Put32(strf, frame_size);
  for (int i = 0; i < 4; ++i) Put32(strf, 0);

  const std::string hdrl =
      List("hdrl", Chunk("avih", avih) + List("strl", Chunk("strh", strh) + Chunk("strf", strf)));
  std::string movi_data;
  std::string idx;
  uint32_t offset = 4;  // index offsets count from the "movi" type field
  for (const std::string& frame : chunks) {
    idx += "00db";
    Put32(idx, 0x10);  // key frame
    Put32(idx, offset);
    Put32(idx, frame_size);
    const std::string chunk = Chunk("00db", frame);
    movi_data += chunk;
    offset += static_cast<uint32_t>(chunk.size());
  }
  const std::string body = "AVI " + hdrl + List("movi", movi_data) + Chunk("idx1", idx);
  std::string file = "RIFF";
  Put32(file, static_cast<uint32_t>(body.size()));
  return file + body;
}

}  // namespace demo
