// cdstool: inspect, query, trace, convert and build data packets.
#include <cstdio>

int main(int argc, char** argv) {
  (void)argv;
  if (argc < 2) {
    std::fprintf(stderr, "usage: cdstool info|rows|convert|build ...\n");
    return 2;
  }
  return 2;
}
