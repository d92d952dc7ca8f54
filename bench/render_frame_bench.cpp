// How long one whole frame takes in Mesa (in a private Xvfb) with the game's own two pictures
// and a full-length serpent, against the same GL calls issued from a bare loop: what the GL
// itself costs, so the gap is what the game's own code adds. The fastest level asks for a frame
// every 10 ms.
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench_support.h"
#include "counting_new.h"
#include "game_state.h"
#include "render.h"
#include "start_game.h"
#include "window.h"
#include "xvfb_server.h"

namespace {

constexpr int kWindowWidth = kStartWindowWidth;
constexpr int kWindowHeight = kStartWindowHeight;

// A picture as start-up has it: loaded by the game's loader and readied for its strip.
struct LoadedPicture {
  BitmapInfo* info = nullptr;
  unsigned char* pixels = nullptr;
};

bool LoadPicture(const char* name, PictureSlot slot, LoadedPicture* picture) {
  std::string path = std::string(VELMORAK_PLAY_DIR) + "/" + name;
  BitmapSizes sizes{};
  picture->pixels = LoadBitmapFileSized(path.c_str(), &picture->info, &sizes);
  if (picture->pixels == nullptr || !PreparePicture(slot, picture->info, picture->pixels, sizes)) {
    std::fprintf(stderr, "render_frame_bench: cannot use %s\n", path.c_str());
    return false;
  }
  return true;
}

// Head first, in rows of 30 squares a step apart that turn back at each end, like a serpent
// that has filled the field.
void LaySerpent(int segments) {
  GameState.segmentCount = segments;
  for (int i = 0; i < segments; ++i) {
    int row = i / 30, column = i % 30;
    if (row % 2 == 1) column = 29 - column;
    GameState.segmentX[i] = static_cast<float>(column) * GameState.stepX;
    GameState.segmentY[i] = static_cast<float>(row) * GameState.stepY;
  }
}

// Everything the bare loop needs, worked out before any clock runs: the floor reads no game
// record and makes no decision, it only issues the calls.
struct FloorScene {
  int count = 0;
  float x[kMaxSegments] = {};
  float y[kMaxSegments] = {};
  float foodX = 0, foodY = 0, side = 0, width = 0, border = 0, top = 0;
  GLint titleY = 0, lowerY = 0, dedicationY = 0;
  const char* title = nullptr;
  const char* hint = nullptr;
  const char* scoreLabel = nullptr;
  char digits[12] = {};
  const char* dedication = nullptr;
  GLsizei fieldWidth = 0, fieldHeight = 0, panelWidth = 0, panelHeight = 0;
  const unsigned char* fieldPixels = nullptr;
  const unsigned char* panelPixels = nullptr;
};

FloorScene SceneFromRecord() {
  FloorScene s;
  s.count = GameState.segmentCount;
  std::memcpy(s.x, GameState.segmentX, sizeof s.x);
  std::memcpy(s.y, GameState.segmentY, sizeof s.y);
  s.foodX = GameState.foodX;
  s.foodY = GameState.foodY;
  s.side = static_cast<float>(GameState.blockSize);
  s.width = GameState.worldWidth;
  s.top = GameState.worldHeight;
  s.border = static_cast<float>(static_cast<double>(s.top) - GameState.panelHeight);
  s.titleY = static_cast<GLint>(GameState.worldHeight - 15.0);
  s.lowerY = static_cast<GLint>(GameState.worldHeight - 30.0);
  s.dedicationY = static_cast<GLint>(GameState.worldHeight - 20.0);
  s.title = GameState.titleLabel;
  s.hint = GameState.pauseHintLabel;
  s.scoreLabel = GameState.scoreLabel;
  std::snprintf(s.digits, sizeof s.digits, "%d", GameState.segmentCount);
  s.dedication = GameState.dedicationLabel;
  s.fieldWidth = GameState.backgroundInfo->biWidth;
  s.fieldHeight = GameState.backgroundInfo->biHeight;
  s.fieldPixels = GameState.backgroundPixels;
  s.panelWidth = GameState.skyInfo->biWidth;
  s.panelHeight = GameState.skyInfo->biHeight;
  s.panelPixels = GameState.skyPixels;
  return s;
}

void FloorSquare(float x, float y, float b, GLubyte r0, GLubyte g0, GLubyte b0, GLubyte r1,
                 GLubyte g1, GLubyte b1) {
  glBegin(GL_POLYGON);
  glColor3ub(r0, g0, b0);
  glVertex3f(x, y, 0.0f);
  glColor3ub(r1, g1, b1);
  glVertex3f(x + b, y, 0.0f);
  glColor3ub(r1, g1, b1);
  glVertex3f(x + b, y + b, 0.0f);
  glColor3ub(r0, g0, b0);
  glVertex3f(x, y + b, 0.0f);
  glEnd();
}

void FloorText(GLint x, GLint y, void* font, const char* text) {
  glRasterPos2i(x, y);
  for (const char* c = text; *c != '\0'; ++c) glutBitmapCharacter(font, (unsigned char)*c);
}

// The frame's calls in the frame's order with the frame's arguments; without the uploads it
// shows what the two pictures cost.
void FloorDraw(const FloorScene& s, bool uploads) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushMatrix();
  for (int i = 0; i < s.count; ++i) FloorSquare(s.x[i], s.y[i], s.side, 255, 120, 0, 255, 228, 176);
  FloorSquare(s.foodX, s.foodY, s.side, 255, 0, 0, 255, 173, 173);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  if (uploads) {
    glTexImage2D(GL_TEXTURE_2D, 0, 3, s.fieldWidth, s.fieldHeight, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE,
                 s.fieldPixels);
  }
  glEnable(GL_TEXTURE_2D);
  glBegin(GL_POLYGON);
  glColor3ub(254, 233, 0);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(0.0f, 0.0f, 0.1f);
  glColor3ub(44, 44, 42);
  glTexCoord2f(1.0f, 0.0f);
  glVertex3f(s.width, 0.0f, 0.1f);
  glColor3ub(254, 233, 0);
  glTexCoord2f(1.0f, 1.0f);
  glVertex3f(s.width, s.border, 0.1f);
  glColor3ub(44, 44, 42);
  glTexCoord2f(0.0f, 1.0f);
  glVertex3f(0.0f, s.border, 0.1f);
  glEnd();
  if (uploads) {
    glTexImage2D(GL_TEXTURE_2D, 0, 3, s.panelWidth, s.panelHeight, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE,
                 s.panelPixels);
  }
  glBegin(GL_POLYGON);
  glColor3f(0.75f, 0.75f, 0.7f);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(0.0f, s.border, 0.1f);
  glColor3f(0.75f, 0.75f, 0.75f);
  glTexCoord2f(1.0f, 0.0f);
  glVertex3f(s.width, s.border, 0.1f);
  glColor3ub(255, 140, 140);
  glTexCoord2f(1.0f, 1.0f);
  glVertex3f(s.width, s.top, 0.1f);
  glColor3ub(255, 140, 140);
  glTexCoord2f(0.0f, 1.0f);
  glVertex3f(0.0f, s.top, 0.1f);
  glEnd();
  glDisable(GL_TEXTURE_2D);
  glPopMatrix();
  glLoadIdentity();
  glColor3ub(255, 255, 0);
  FloorText(10, s.titleY, GLUT_BITMAP_HELVETICA_18, s.title);
  glColor3ub(255, 255, 0);
  FloorText(150, s.lowerY, GLUT_BITMAP_HELVETICA_12, s.hint);
  glColor3ub(255, 255, 0);
  FloorText(10, s.lowerY, GLUT_BITMAP_HELVETICA_12, s.scoreLabel);
  FloorText(60, s.lowerY, GLUT_BITMAP_HELVETICA_12, s.digits);
  FloorText(130, s.dedicationY, GLUT_BITMAP_HELVETICA_12, s.dedication);
}

std::vector<unsigned char> ReadBackBuffer() {
  std::vector<unsigned char> pixels(size_t{kWindowWidth} * kWindowHeight * 4);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kWindowWidth, kWindowHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

// A floor that drew something else would measure something else: both must leave the same
// pixels behind.
bool FloorDrawsTheFrame(const FloorScene& scene) {
  DrawFrame();
  std::vector<unsigned char> ours = ReadBackBuffer();
  FloorDraw(scene, true);
  std::vector<unsigned char> floor = ReadBackBuffer();
  return ours == floor;
}

void BM_DrawFrame(benchmark::State& state, int segments) {
  LaySerpent(segments);
  for (auto _ : state) {
    DrawFrame();
    glFinish();
  }
}
BENCHMARK_CAPTURE(BM_DrawFrame, one_segment, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DrawFrame, thousand_segments, kMaxSegments)->Unit(benchmark::kMillisecond);

enum Variant { Ours, Floor, FloorWithoutUploads, kVariants };

struct FrameResults {
  Samples times[kVariants];
  uint64_t allocations[kVariants] = {};
};

// One frame as the window gets it, finished before the clock stops so that the GL's deferred
// work is counted where it was caused.
void DrawOne(Variant which, const FloorScene& scene) {
  if (which == Ours) {
    OnDisplay();
  } else {
    FloorDraw(scene, which == Floor);
    glutSwapBuffers();
  }
  glFinish();
}

// The variants take turns, each round in another order, so that whatever else the machine does
// falls on all of them alike.
FrameResults CompareFrames(const FloorScene& scene, int rounds) {
  FrameResults results;
  for (int round = 0; round < rounds / 10 + 5; ++round) {  // warm-up: Mesa compiles its paths
    for (int v = 0; v < kVariants; ++v) DrawOne(static_cast<Variant>(v), scene);
  }
  for (auto& t : results.times) t.Reserve(rounds);
  for (int round = 0; round < rounds; ++round) {
    for (int k = 0; k < kVariants; ++k) {
      Variant which = static_cast<Variant>((round + k) % kVariants);
      uint64_t allocationsBefore = AllocationCount();
      double start = BenchSeconds();
      DrawOne(which, scene);
      double elapsed = BenchSeconds() - start;
      results.allocations[which] += AllocationCount() - allocationsBefore;
      results.times[which].Add(elapsed);
    }
  }
  return results;
}

void ReportFrameCost(bool quick) {
  LaySerpent(kMaxSegments);
  FloorScene scene = SceneFromRecord();
  bool same = FloorDrawsTheFrame(scene);
  std::printf("the bare loop leaves the same pixels as the frame: %s\n", same ? "yes" : "NO");
  const int rounds = quick ? 100 : 1000;
  FrameResults r = CompareFrames(scene, rounds);

  const Samples& ours = r.times[Ours];
  const Samples& floor = r.times[Floor];
  const std::string reference = " (bare GL loop)";
  const double medianRatio = ours.Median() / floor.Median();
  const double tailRatio = ours.Percentile(0.99) / floor.Percentile(0.99);
  AddTableRow({"frame, 1000 segments, median", FormatMilliseconds(ours.Median()),
               FormatMilliseconds(floor.Median()) + reference, FormatRatio(medianRatio), "<= 1.2",
               Verdict(same && medianRatio <= 1.2)});
  AddTableRow({"frame, 1000 segments, 99th percentile", FormatMilliseconds(ours.Percentile(0.99)),
               FormatMilliseconds(floor.Percentile(0.99)) + reference, FormatRatio(tailRatio),
               "<= 1.2", Verdict(same && tailRatio <= 1.2)});

  const double uploads = floor.Median() - r.times[FloorWithoutUploads].Median();
  char share[96];
  std::snprintf(share, sizeof share, "%.3f ms, %.1f %% of our median frame", uploads * 1e3,
                100.0 * uploads / ours.Median());
  AddTableRow({"frame, the two 256×256 texture uploads", share,
               FormatMilliseconds(r.times[FloorWithoutUploads].Median()) + " (floor without them)",
               "-", "report only", "-"});

  char perFrame[96], floorPerFrame[64];
  std::snprintf(perFrame, sizeof perFrame, "%.3g per frame (%llu in %d frames)",
                double(r.allocations[Ours]) / rounds,
                static_cast<unsigned long long>(r.allocations[Ours]), rounds);
  std::snprintf(floorPerFrame, sizeof floorPerFrame, "%.3g per frame (bare GL loop)",
                double(r.allocations[Floor]) / rounds);
  AddTableRow({"allocations on the frame path", perFrame, floorPerFrame, "-", "none of our own",
               Verdict(r.allocations[Ours] <= r.allocations[Floor])});
}

bool reshaped = false;

}  // namespace

int main(int argc, char** argv) {
  const bool quick = TakeQuickFlag(&argc, argv);
  XvfbServer server;
  if (!server.Start()) {
    std::fprintf(stderr, "render_frame_bench needs Xvfb: %s\n", server.error().c_str());
    return 1;
  }
  setenv("DISPLAY", server.display().c_str(), 1);
  glutInit(&argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  // The start window as the game opens it, shown on the server before anything is measured.
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
  glutInitWindowPosition(50, 50);
  glutInitWindowSize(kWindowWidth, kWindowHeight);
  glutCreateWindow("render_frame_bench");
  glutDisplayFunc([] {});
  glutReshapeFunc([](int width, int height) {
    OnReshape(width, height);
    reshaped = true;
  });
  for (int i = 0; i < 200 && !reshaped; ++i) glutMainLoopEvent();
  if (!reshaped) OnReshape(kWindowWidth, kWindowHeight);
  InitGraphics();

  GameState.edgeStep = GameState.stepX;
  LoadedPicture sky, background;
  if (!LoadPicture("sky.bmp", PanelPicture, &sky) ||
      !LoadPicture("background.bmp", PlayfieldPicture, &background)) {
    return 1;
  }
  GameState.skyInfo = sky.info;
  GameState.skyPixels = sky.pixels;
  GameState.backgroundInfo = background.info;
  GameState.backgroundPixels = background.pixels;

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  ReportFrameCost(quick);
  glutExit();
  return 0;
}
