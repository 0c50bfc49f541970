#include "synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace demo {
namespace {

std::vector<Partial> Harmonics(const std::vector<double>& amps, double step_decay) {
  std::vector<Partial> p;
  for (size_t i = 0; i < amps.size(); ++i) {
    if (amps[i] > 0) p.push_back({static_cast<double>(i + 1), amps[i], step_decay * i});
  }
  return p;
}

std::vector<Partial> Bowed(int count, double falloff) {
  std::vector<double> amps;
  for (int k = 1; k <= count; ++k) amps.push_back(std::pow(falloff, k - 1) / k);
  return Harmonics(amps, 0);
}

const std::vector<Timbre>& Timbres() {
  static const std::vector<Timbre> table = {
      {"zongora", Harmonics({1, .55, .3, .2, .12, .08, .05, .03}, .35), .004, 1.2, .25, 0, 5, 0},
      {"csembalo", Harmonics({1, .8, .7, .6, .5, .45, .4, .3, .2, .1}, .5), .002, 1.8, .12, 0, 5,
       6},
      {"orgona", Harmonics({1, .7, .5, .15, .3, .1, .08, .2}, 0), .03, 0, .12, 0, 5, 19},
      {"fuvola", Harmonics({1, .35, .12, .05}, 0), .06, 0, .15, .004, 5, 73},
      {"hegedu", Bowed(12, .9), .08, 0, .2, .006, 5.5, 40},
      {"csello", Bowed(12, .85), .09, 0, .25, .005, 5, 42},
      {"klarinet", Harmonics({1, .05, .5, .04, .3, .03, .15, .02, .08}, 0), .03, 0, .12, 0, 5, 71},
      {"trombita", Harmonics({1, .8, .7, .6, .5, .4, .3, .2, .15, .1}, 0), .03, 0, .1, .002, 5, 56},
      {"harang",
       {{.5, .6, .2},
        {1, 1, .4},
        {1.19, .5, .9},
        {1.5, .35, .9},
        {2, .4, 1.1},
        {2.5, .2, 1.6},
        {3, .15, 2},
        {4.2, .1, 2.5}},
       .003,
       .5,
       .6,
       0,
       5,
       14},
      {"gitar", Harmonics({1, .6, .45, .3, .2, .15, .1, .05}, .6), .002, 2.2, .1, 0, 5, 24},
      {"harfa", Harmonics({1, .4, .15, .05}, .5), .003, 1.5, .3, 0, 5, 46},
      {"marimba", {{1, 1, 0}, {4, .25, 4}, {9.2, .05, 8}}, .002, 5, .05, 0, 5, 12},
      {"korus", Harmonics({1, .8, .6, .5, .45, .2, .1}, 0), .12, 0, .3, .007, 5.5, 52},
  };
  return table;
}

}  // namespace

const Timbre& TimbreByName(std::string_view name) {
  for (const Timbre& t : Timbres()) {
    if (t.name == name) return t;
  }
  throw std::runtime_error("unknown instrument \"" + std::string(name) + "\"");
}

std::vector<float> RenderTune(const Tune& tune, int sample_rate) {
  const Timbre& timbre = TimbreByName(tune.instrument);
  const double beat = 60.0 / tune.tempo;
  const double total = tune.TotalBeats() * beat + timbre.release + 0.2;
  std::vector<double> mix(static_cast<size_t>(total * sample_rate) + 1, 0.0);
  const double two_pi = 2 * std::numbers::pi;

  double start = 0;
  for (const Event& e : tune.events) {
    const double held = e.beats * beat * (timbre.decay > 0 ? 1.0 : 0.94);
    for (const Pitch& p : e.pitches) {
      const double f0 = p.Frequency();
      const auto first = static_cast<size_t>(start * sample_rate);
      const size_t count = static_cast<size_t>((held + timbre.release) * sample_rate);
      std::vector<double> phase(timbre.partials.size(), 0.0);
      // Quieter for chords, so that a triad is not three times as loud as one note.
      const double level = 1.0 / std::sqrt(static_cast<double>(e.pitches.size()));
      for (size_t i = 0; i < count && first + i < mix.size(); ++i) {
        const double t = static_cast<double>(i) / sample_rate;
        double env = t < timbre.attack ? t / timbre.attack : 1.0;
        if (timbre.decay > 0) env *= std::exp(-timbre.decay * t);
        if (t > held) env *= std::exp(-(t - held) * 6.0 / timbre.release);
        const double vib = 1.0 + timbre.vibrato_depth * std::sin(two_pi * timbre.vibrato_rate * t) *
                                     std::min(1.0, t / 0.3);  // vibrato sets in gently
        double v = 0;
        for (size_t k = 0; k < timbre.partials.size(); ++k) {
          const Partial& pa = timbre.partials[k];
          const double f = f0 * pa.ratio * vib;
          if (f >= sample_rate / 2.0) continue;
          phase[k] += two_pi * f / sample_rate;
          v += pa.amplitude * std::exp(-pa.decay * t) * std::sin(phase[k]);
        }
        mix[first + i] += v * env * level;
      }
    }
    start += e.beats * beat;
  }

  double peak = 1e-9;
  for (const double v : mix) peak = std::max(peak, std::abs(v));
  std::vector<float> out(mix.size());
  const size_t fade_in = sample_rate / 200;
  const size_t fade_out = sample_rate / 20;
  for (size_t i = 0; i < mix.size(); ++i) {
    double g = 0.8 / peak;
    if (i < fade_in) g *= static_cast<double>(i) / fade_in;
    if (i + fade_out > mix.size()) g *= static_cast<double>(mix.size() - i) / fade_out;
    out[i] = static_cast<float>(mix[i] * g);
  }
  return out;
}

}  // namespace demo
