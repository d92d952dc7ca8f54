// Plays a few meals of a real game under a private Xvfb and saves a frame of it in progress: the
// picture in the README. Usage: velmorak_screenshot --game=BINARY --pictures=DIR OUT.png
#include <X11/keysym.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "frame.h"
#include "game_launch.h"
#include "png_file.h"
#include "x_session.h"

namespace {

constexpr int kMeals = 10;
constexpr int kTimeoutMs = 90000;

struct Step {
  int dx, dy;
  unsigned long key;
};
// Heading values as the game numbers them, 1 to 4.
const Step kSteps[5] = {
    {0, 0, 0}, {-8, 0, XK_Left}, {8, 0, XK_Right}, {0, 8, XK_Up}, {0, -8, XK_Down}};

int Reverse(int heading) {
  return heading == 1 ? 2 : heading == 2 ? 1 : heading == 3 ? 4 : 3;
}

// The head walks on a grid of 8 units from (100, 100); the cell nearest the food eats it.
double GridCell(double food, double highest) {
  double cell = 4.0 + 8.0 * std::round((food - 4.0) / 8.0);
  return std::min(std::max(cell, 4.0), highest);
}

bool Occupied(const std::vector<Square>& squares, double x, double y) {
  for (const Square& s : squares)
    if (std::abs(s.x - x) < 4.0 && std::abs(s.y - y) < 4.0) return true;
  return false;
}

// Straight for the food, one axis at a time, never back into itself or a wall.
int ChooseHeading(const Square& head, const Square& target, int heading,
                  const std::vector<Square>& body) {
  std::vector<int> wishes;
  if (target.x > head.x + 1) wishes.push_back(2);
  if (target.x < head.x - 1) wishes.push_back(1);
  if (target.y > head.y + 1) wishes.push_back(3);
  if (target.y < head.y - 1) wishes.push_back(4);
  for (int h : {1, 2, 3, 4}) wishes.push_back(h);
  for (int h : wishes) {
    if (h == Reverse(heading)) continue;
    double x = head.x + kSteps[h].dx, y = head.y + kSteps[h].dy;
    if (x < 0 || x > 236 || y < 0 || y > 228 || Occupied(body, x, y)) continue;
    return h;
  }
  return heading;
}

// The square that is new since the last frame, one step from the old head.
bool NewHead(const std::vector<Square>& now, const std::vector<Square>& before, const Square& old,
             Square* head) {
  for (const Square& s : now) {
    double d = std::abs(s.x - old.x) + std::abs(s.y - old.y);
    if (d < 6.0 || d > 10.0 || Occupied(before, s.x, s.y)) continue;
    *head = {GridCell(s.x, 244), GridCell(s.y, 244)};
    return true;
  }
  return false;
}

int Play(const std::string& game, const std::string& pictures, const std::string& out) {
  XSession x;
  PlayFolder folder;
  ChildProcess process;
  if (!x.Start(1024, 768) || !folder.Create() || !folder.CopyPictures(pictures) ||
      !process.Start(GameCommand(game, folder.path(), x.display(), {}))) {
    std::cerr << "setup failed: " << x.error() << folder.error() << process.error() << "\n";
    return 1;
  }
  process.WriteInputAndClose("2\n");
  Window window = x.WaitForWindow(kWindowTitle, 20000);
  if (window == None) {
    std::cerr << "no window\n";
    return 1;
  }
  x.Focus(window);

  Square head{100, 100};
  Square food{125, 130};
  int heading = 2;
  int meals = 0;
  std::vector<Square> body{head};
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs);
  Frame frame;
  while (meals < kMeals && std::chrono::steady_clock::now() < deadline) {
    if (process.Output().find("Game Over") != std::string::npos) {
      std::cerr << "the serpent crashed after " << meals << " meals\n";
      break;
    }
    frame = x.Grab(window);
    std::vector<Square> now = FindSquares(frame, SquareKind::Segment);
    std::vector<Square> foods = FindSquares(frame, SquareKind::Food);
    // A tick shows as a new head; the food jumps when it is eaten.
    if (!NewHead(now, body, head, &head)) continue;
    body = now;
    if (!foods.empty() && !Occupied(foods, food.x, food.y)) {
      ++meals;
      food = foods[0];
    }
    Square target{GridCell(food.x, 236), GridCell(food.y, 228)};
    int next = ChooseHeading(head, target, heading, body);
    if (next != heading) {
      x.Tap(kSteps[next].key);
      heading = next;
    }
  }
  std::cerr << meals << " meals, " << body.size() << " squares\n";
  process.Kill();
  x.Close();
  if (!WritePng(out, frame.width, frame.height, frame.rgb)) {
    std::cerr << "cannot write " << out << "\n";
    return 1;
  }
  return meals >= kMeals ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string game, pictures, out;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--game=", 0) == 0) {
      game = arg.substr(7);
    } else if (arg.rfind("--pictures=", 0) == 0) {
      pictures = arg.substr(11);
    } else {
      out = arg;
    }
  }
  if (game.empty() || pictures.empty() || out.empty()) {
    std::cerr << "usage: velmorak_screenshot --game=BINARY --pictures=DIR OUT.png\n";
    return 2;
  }
  return Play(game, pictures, out);
}
