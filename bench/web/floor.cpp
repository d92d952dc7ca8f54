// The floor the page's benchmark measures the game against: a bare GLUT page built like the game
// (emscripten's GLUT over WebGL 1, the same window), whose 10 ms timer chain only clears the
// window and swaps, and stamps each timer's time where the game's page stamps its ticks. It has no
// schedule of its own: what it gets is what the browser gives a plain GLUT timer.
#include <GL/glut.h>
#include <emscripten.h>

namespace {

constexpr int kIntervalMs = 10;

EM_JS(void, PageTicked, (), {
  if (Module.floorTicked) Module.floorTicked();
});

void Display() {
  glClear(GL_COLOR_BUFFER_BIT);
  glutSwapBuffers();
}

void Tick(int) {
  PageTicked();
  glutPostRedisplay();
  glutTimerFunc(kIntervalMs, Tick, 0);
}

}  // namespace

int main(int argc, char** argv) {
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
  glutInitWindowSize(350, 385);
  glutCreateWindow("floor");
  glClearColor(0, 0, 0, 1);
  glutDisplayFunc(Display);
  glutTimerFunc(kIntervalMs, Tick, 0);
  glutMainLoop();
  return 0;
}
