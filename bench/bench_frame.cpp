// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of what the user waits for: the animation tick (the frame drawn into
// the 1280 x 1024 bitmap, and the real window tick with the window shown,
// exposed and painted), the copy of the frame to the window with its
// controls, each diagram's redraw and one drag step of a dynamic-variable bar
// in each diagram window.
//
// Yardsticks run first, in the same run: the bare frame floor (fill the
// bitmap and copy it), the same at the window timer's rhythm into a shown
// window, and one solve. Every later result prints its ratio to one of them
// ("x_floor", "x_window_floor" or "x_solve"), so a loaded machine shows in
// all alike.
//
// The ticks "AtRhythm" run as the program runs them: one every 16 ms with the
// event loop running in between, so caches are as cold as the program finds
// them, and each is timed in the process's CPU time (their "wall_us" is the
// wall time). The window benchmarks also print how many times the client area or
// the diagram's picture painted per step ("paints"), to show that they paint.
// The diagram redraws run with the sweeps on 1, 2 and 4 threads ("threads:N").
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QWindow>
#include <cctype>
#include <chrono>
#include <ctime>
#include <string>
#include <thread>

#include "diagrams/diagrampicture.h"
#include "diagrams/diagramwin.h"
#include "mainwin/mainctl.h"
#include "bench/solveloop.h"
#include "mainwin/mainform.h"
#include "mainwin/mechdraw.h"
#include "model/parallel.h"
#include "platform/qtcanvas.h"

namespace {

using Clock = std::chrono::steady_clock;

// Seconds per iteration of the two yardsticks in this run (0 until run).
double gFloorSeconds = 0;
double gSolveSeconds = 0;
double gWindowFloorSeconds = 0;  // CPU seconds

enum class Yardstick { Floor, Solve, WindowFloor };

void ReportEach(benchmark::State& st, double each, Yardstick against) {
  const double base = against == Yardstick::Floor ? gFloorSeconds
                      : against == Yardstick::Solve ? gSolveSeconds
                                                    : gWindowFloorSeconds;
  const char* name = against == Yardstick::Floor ? "x_floor" : against == Yardstick::Solve ? "x_solve" : "x_window_floor";
  if (base > 0) st.counters[name] = each / base;
}

void Report(benchmark::State& st, Clock::duration elapsed, Yardstick against) {
  if (st.iterations() == 0) return;
  ReportEach(st, std::chrono::duration<double>(elapsed).count() / static_cast<double>(st.iterations()), against);
}

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Runs `tick` once every 16 ms, the window timer's interval, with the event
// loop running in between as the program's does; each tick is timed in the
// process's CPU time. Returns the mean CPU seconds a tick.
template <class Tick>
double AtRhythm(benchmark::State& st, Tick tick) {
  constexpr auto interval = std::chrono::milliseconds(16);
  auto next = Clock::now();
  double cpu = 0, wall = 0;
  for (auto _ : st) {
    next += interval;
    for (auto now = Clock::now(); now < next; now = Clock::now()) {
      QApplication::processEvents(QEventLoop::AllEvents, 1);
      std::this_thread::sleep_for(std::min<Clock::duration>(next - now, std::chrono::milliseconds(2)));
    }
    const double c0 = ProcessCpuSeconds();
    const auto w0 = Clock::now();
    tick();
    const double used = ProcessCpuSeconds() - c0;
    wall += std::chrono::duration<double>(Clock::now() - w0).count();
    cpu += used;
    st.SetIterationTime(used);
    if (Clock::now() > next) next = Clock::now();  // a late tick does not hurry the next
  }
  const double n = static_cast<double>(std::max<int64_t>(1, st.iterations()));
  st.counters["wall_us"] = wall / n * 1e6;
  return cpu / n;
}

// The sweeps' thread count for one benchmark, from its argument; back to the
// machine's own count afterwards.
struct ThreadsFor {
  explicit ThreadsFor(const benchmark::State& st) { brevold::SetSweepThreads(static_cast<int>(st.range(0))); }
  ~ThreadsFor() { brevold::SetSweepThreads(0); }
};

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
  long paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Shows a window and lets the event loop run until it is exposed, so that
// what follows really paints.
void ShowExposed(QWidget& w) {
  w.show();
  QElapsedTimer t;
  t.start();
  while ((!w.windowHandle() || !w.windowHandle()->isExposed()) && t.elapsed() < 2000)
    QApplication::processEvents();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

void TickInto(brevold::AppState& a, QImage& image) {
  brevold::AdvanceFrame(a, "12/8/26   3:04:05 PM");
  brevold::QtCanvas canvas(&image);
  brevold::PaintFrame(canvas, a);
}

void UsePreset(brevold::AppState& a, int n) {
  const auto& p = a.model.view.ViewPreset[static_cast<size_t>(n)];
  a.model.view.Scale = p.Scale;
  a.model.view.OriginX = p.OriginX;
  a.model.view.OriginY = p.OriginY;
}

// The least a frame can cost: the bitmap filled and copied once.
void BM_FrameFloor(benchmark::State& st) {
  QImage frame(brevold::FrameWidth, brevold::FrameHeight, QImage::Format_RGB32);
  QImage window(brevold::FrameWidth, brevold::FrameHeight, QImage::Format_RGB32);
  const auto t0 = Clock::now();
  for (auto _ : st) {
    frame.fill(Qt::white);
    QPainter p(&window);
    p.drawImage(0, 0, frame);
  }
  const auto elapsed = Clock::now() - t0;
  if (st.iterations() > 0)
    gFloorSeconds = std::chrono::duration<double>(elapsed).count() / static_cast<double>(st.iterations());
}
BENCHMARK(BM_FrameFloor)->Unit(benchmark::kMicrosecond);

// A shown window of the main window's client size that shows the frame
// bitmap: the least a window tick can cost.
class FloorWindow : public QWidget {
 public:
  explicit FloorWindow(const QImage& frame) : frame_(frame) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(632, 380);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, frame_);
  }

 private:
  const QImage& frame_;
};

// The floor of a shown tick: the bitmap filled and copied to the window, at
// the window timer's rhythm.
void BM_WindowFloorAtRhythm(benchmark::State& st) {
  QImage frame(brevold::FrameWidth, brevold::FrameHeight, QImage::Format_RGB32);
  FloorWindow w(frame);
  ShowExposed(w);
  gWindowFloorSeconds = AtRhythm(st, [&] {
    frame.fill(Qt::white);
    w.repaint();
  });
}
BENCHMARK(BM_WindowFloorAtRhythm)->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(250);

void BM_Solve(benchmark::State& st) {
  brevold::ModelState s;
  brevold::StartUp(s);
  const double perSolve = brevold::bench::TimeSolves(st, s);
  if (perSolve > 0) gSolveSeconds = perSolve;
}
BENCHMARK(BM_Solve)->Unit(benchmark::kMicrosecond);

// The frame drawn into the bitmap, without a window.
void BM_TickStartView(benchmark::State& st) {
  brevold::AppState a;
  brevold::StartUp(a.model);
  QImage image(brevold::FrameWidth, brevold::FrameHeight, QImage::Format_RGB32);
  const auto t0 = Clock::now();
  for (auto _ : st) TickInto(a, image);
  Report(st, Clock::now() - t0, Yardstick::Floor);
}
BENCHMARK(BM_TickStartView)->Unit(benchmark::kMicrosecond);

void BM_TickPreset5(benchmark::State& st) {
  brevold::AppState a;
  brevold::StartUp(a.model);
  UsePreset(a, 5);
  QImage image(brevold::FrameWidth, brevold::FrameHeight, QImage::Format_RGB32);
  const auto t0 = Clock::now();
  for (auto _ : st) TickInto(a, image);
  Report(st, Clock::now() - t0, Yardstick::Floor);
}
BENCHMARK(BM_TickPreset5)->Unit(benchmark::kMicrosecond);

// The window's own tick at the start view, shown and exposed, with the event
// loop run after each tick as the program runs it: the frame drawn, copied
// to the window and whatever the controls repaint.
void BM_WindowTick(benchmark::State& st) {
  brevold::AppState a;
  brevold::Session session(a);
  brevold::TMainForm form(session);
  form.Timer1->stop();
  ShowExposed(form);
  PaintCounter paints(form.Client);
  const auto t0 = Clock::now();
  for (auto _ : st) {
    form.Timer1Timer();
    QApplication::processEvents();
  }
  Report(st, Clock::now() - t0, Yardstick::Floor);
  st.counters["paints"] = static_cast<double>(paints.paints) / static_cast<double>(std::max<int64_t>(1, st.iterations()));
}
BENCHMARK(BM_WindowTick)->Unit(benchmark::kMicrosecond);

// The window's own tick at the window timer's rhythm, the gear running or
// (argument 1) turning with the steam display on at preset 5.
void BM_WindowTickAtRhythm(benchmark::State& st) {
  brevold::AppState a;
  brevold::Session session(a);
  brevold::TMainForm form(session);
  form.Timer1->stop();
  if (st.range(0) == 1) {
    a.screen.SteamDisp = true;
    UsePreset(a, 5);
  }
  ShowExposed(form);
  form.Timer1Timer();
  ReportEach(st, AtRhythm(st, [&] {
    form.Timer1Timer();
    QApplication::processEvents();
  }), Yardstick::WindowFloor);
}
BENCHMARK(BM_WindowTickAtRhythm)->ArgName("steam")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(250);

// The window's tick with the gear stopped and at rest: passed over, no
// solve and no painting.
void BM_WindowTickAtRest(benchmark::State& st) {
  brevold::AppState a;
  brevold::Session session(a);
  brevold::TMainForm form(session);
  form.Timer1->stop();
  form.Clock = [] { return qint64{1800000000}; };
  form.RunClick();
  ShowExposed(form);
  for (int i = 0; i < 4; ++i) form.Timer1Timer();
  const int made = form.FramesMade();
  const auto t0 = Clock::now();
  for (auto _ : st) form.Timer1Timer();
  Report(st, Clock::now() - t0, Yardstick::Floor);
  st.counters["frames"] = static_cast<double>(form.FramesMade() - made);
}
BENCHMARK(BM_WindowTickAtRest)->Unit(benchmark::kMicrosecond);

// The same with the steam display on at preset 5.
void BM_WindowTickSteamPreset5(benchmark::State& st) {
  brevold::AppState a;
  brevold::Session session(a);
  brevold::TMainForm form(session);
  form.Timer1->stop();
  a.screen.SteamDisp = true;
  UsePreset(a, 5);
  ShowExposed(form);
  const auto t0 = Clock::now();
  for (auto _ : st) {
    form.Timer1Timer();
    QApplication::processEvents();
  }
  Report(st, Clock::now() - t0, Yardstick::Floor);
}
BENCHMARK(BM_WindowTickSteamPreset5)->Unit(benchmark::kMicrosecond);

// The client area's whole paint, the strip's controls included, into a
// window-sized surface.
void BM_CopyToWindow(benchmark::State& st) {
  brevold::AppState a;
  brevold::Session session(a);
  brevold::TMainForm form(session);
  form.Timer1->stop();
  ShowExposed(form);
  form.Timer1Timer();
  QImage window(form.Client->size(), QImage::Format_RGB32);
  const auto t0 = Clock::now();
  for (auto _ : st)
    form.Client->render(&window, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
  Report(st, Clock::now() - t0, Yardstick::Floor);
}
BENCHMARK(BM_CopyToWindow)->Unit(benchmark::kMicrosecond);

// One redraw of a diagram: the whole sweep through the solver, on 1, 2 and 4
// threads (1: the plain sweep).
void BM_Diagram(benchmark::State& st, const brevold::DiagramKind* kind) {
  ThreadsFor threads(st);
  brevold::AppState a;
  brevold::StartUp(a.model);
  brevold::Solve(a.model);
  brevold::CalcCentre(a.model);
  brevold::DiagramState d;
  QImage image(632, 426, QImage::Format_RGB32);
  const auto t0 = Clock::now();
  for (auto _ : st) {
    image.fill(Qt::white);
    brevold::QtCanvas canvas(&image);
    brevold::DrawDiagram(canvas, a, d, kind->kind);
  }
  Report(st, Clock::now() - t0, Yardstick::Solve);
}
// One per kind of diagram: BM_PortDiagram, BM_SteamDiagram and so on.
const bool kDiagramBenchmarks = [] {
  for (const brevold::DiagramKind& k : brevold::DiagramKinds()) {
    std::string name = std::string("BM_") + k.name + "Diagram";
    name[3] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[3])));
    benchmark::RegisterBenchmark(name.c_str(), BM_Diagram, &k)
        ->ArgName("threads")->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);
  }
  return true;
}();

// One arrow click on bar 1 of a shown diagram window, with the main rod
// length as dynamic variable 1: the change, the window's redraws and its
// paint. The clicks alternate right and left so the gear stays put.
void BM_DiagramDragStep(benchmark::State& st) {
  brevold::AppState a;
  brevold::Session session(a);
  brevold::TMainForm form(session);
  form.Timer1->stop();
  ShowExposed(form);
  form.Timer1Timer();
  brevold::DiagramWindow* windows[] = {form.PortDia, form.SteamDia, form.OvalDia, form.SineDia};
  brevold::DiagramWindow& w = *windows[st.range(0)];
  a.model.undo.EditDirty = 0;
  brevold::EditorFieldExit(a.model, 3, 16.5f, brevold::FindDim(3)->shortName);
  w.AskPositionsOnOpen = false;
  ShowExposed(w);
  w.DynamicVariClick();
  QApplication::processEvents();
  int p = 1;
  const auto t0 = Clock::now();
  for (auto _ : st) {
    w.Bars[1]->SetPosition(p);
    p = -p;
    QApplication::processEvents();
  }
  Report(st, Clock::now() - t0, Yardstick::Solve);
  w.close();
}
BENCHMARK(BM_DiagramDragStep)->ArgName("window")->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// A main-window dynamic-variable bar dragged one step: apply, re-centre, and
// the next tick.
void BM_DynVarDragStep(benchmark::State& st) {
  brevold::AppState a;
  brevold::Session session(a);
  brevold::TMainForm form(session);
  form.Timer1->stop();
  ShowExposed(form);
  a.model.undo.EditDirty = 0;
  brevold::EditorFieldExit(a.model, 3, 16.5f, brevold::FindDim(3)->shortName);
  form.DynamicVariablesClick();
  int p = 1;
  const auto t0 = Clock::now();
  for (auto _ : st) {
    form.SBDynVar[1]->SetPosition(p);
    p = p == 1 ? -1 : 1;
    form.Timer1Timer();
    QApplication::processEvents();
  }
  Report(st, Clock::now() - t0, Yardstick::Floor);
}
BENCHMARK(BM_DynVarDragStep)->Unit(benchmark::kMicrosecond);

// The frame with the steam display on, at the start view and at preset 5.
void BM_TickWithSteam(benchmark::State& st) {
  brevold::AppState a;
  brevold::StartUp(a.model);
  a.screen.SteamDisp = true;
  if (st.range(0) == 5) UsePreset(a, 5);
  QImage image(brevold::FrameWidth, brevold::FrameHeight, QImage::Format_RGB32);
  const auto t0 = Clock::now();
  for (auto _ : st) TickInto(a, image);
  Report(st, Clock::now() - t0, Yardstick::Floor);
}
BENCHMARK(BM_TickWithSteam)->Arg(0)->Arg(5)->Unit(benchmark::kMicrosecond);

// The most a frame can draw: the steam display at the largest scale the view
// allows (no stored value can go beyond it).
void BM_TickWithSteamLargestScale(benchmark::State& st) {
  brevold::AppState a;
  brevold::StartUp(a.model);
  a.screen.SteamDisp = true;
  a.model.view.Scale = brevold::MaxViewScale;
  QImage image(brevold::FrameWidth, brevold::FrameHeight, QImage::Format_RGB32);
  const auto t0 = Clock::now();
  for (auto _ : st) TickInto(a, image);
  Report(st, Clock::now() - t0, Yardstick::Floor);
}
BENCHMARK(BM_TickWithSteamLargestScale)->Unit(benchmark::kMillisecond);

// The worst a gear can cost a diagram: the link's levers can never close, so
// every solve of the sweep runs the valve-stem search to its pass limit.
void BM_PortDiagramEverySearchGivesUp(benchmark::State& st) {
  brevold::AppState a;
  brevold::StartUp(a.model);
  brevold::Solve(a.model);
  brevold::CalcCentre(a.model);
  a.model.dims.frame.LinkTopLevLen = 1e5f;
  brevold::DiagramState d;
  QImage image(632, 426, QImage::Format_RGB32);
  const auto t0 = Clock::now();
  for (auto _ : st) {
    brevold::QtCanvas canvas(&image);
    brevold::DrawDiagram(canvas, a, d, brevold::DiagramPicture::Port);
  }
  Report(st, Clock::now() - t0, Yardstick::Solve);
}
BENCHMARK(BM_PortDiagramEverySearchGivesUp)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
