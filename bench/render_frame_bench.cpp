// How long one whole frame takes in Mesa (in a private Xvfb) with two 256 x 256 pictures, both
// uploaded again as every frame does; the fastest level asks for a frame every 10 ms.
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "game_state.h"
#include "render.h"
#include "window.h"
#include "xvfb_server.h"

namespace {

struct Picture {
  BitmapInfo info{40, 256, 256, 1, 24, 0, 0, 2835, 2835, 0, 0};
  std::vector<unsigned char> pixels = std::vector<unsigned char>(256 * 256 * 3, 0xC0);
};

void BM_DrawFrame(benchmark::State& state, int segments) {
  static Picture sky, background;
  GameState.skyInfo = &sky.info;
  GameState.skyPixels = sky.pixels.data();
  GameState.backgroundInfo = &background.info;
  GameState.backgroundPixels = background.pixels.data();
  BitmapSizes sizes{40, static_cast<uint32_t>(sky.pixels.size())};
  PreparePicture(PanelPicture, &sky.info, sky.pixels.data(), sizes);
  PreparePicture(PlayfieldPicture, &background.info, background.pixels.data(), sizes);
  GameState.segmentCount = segments;
  for (int i = 0; i < segments; ++i) {
    GameState.segmentX[i] = static_cast<float>(i % 30) * 8.0f;
    GameState.segmentY[i] = static_cast<float>(i / 30) * 8.0f;
  }
  for (auto _ : state) {
    DrawFrame();
    glFinish();
  }
}

}  // namespace

BENCHMARK_CAPTURE(BM_DrawFrame, one_segment, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DrawFrame, thousand_segments, kMaxSegments)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  XvfbServer server;
  if (!server.Start()) {
    std::fprintf(stderr, "render_frame_bench needs Xvfb: %s\n", server.error().c_str());
    return 1;
  }
  setenv("DISPLAY", server.display().c_str(), 1);
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
  glutInitWindowSize(350, 385);
  glutCreateWindow("render_frame_bench");
  glutDisplayFunc([] {});
  InitGraphics();
  OnReshape(350, 385);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  glutExit();
  return 0;
}
