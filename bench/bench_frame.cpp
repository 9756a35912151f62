// Speed of the animation: one whole tick (solve, post-calculation, screen
// transform, outlines and the full frame drawn into the 1280 x 1024 bitmap)
// at the start view and at preset 5, and the copy of the frame to the window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include "mainwin/mainform.h"
#include "diagrams/diagramdraw.h"
#include "mainwin/mechdraw.h"
#include "platform/qtcanvas.h"

namespace {

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

void BM_TickStartView(benchmark::State& st) {
  brevold::AppState a;
  brevold::StartUp(a.model);
  QImage image(brevold::FrameWidth, brevold::FrameHeight, QImage::Format_RGB32);
  for (auto _ : st) TickInto(a, image);
  st.counters["fps"] = benchmark::Counter(static_cast<double>(st.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TickStartView)->Unit(benchmark::kMicrosecond);

void BM_TickPreset5(benchmark::State& st) {
  brevold::AppState a;
  brevold::StartUp(a.model);
  UsePreset(a, 5);
  QImage image(brevold::FrameWidth, brevold::FrameHeight, QImage::Format_RGB32);
  for (auto _ : st) TickInto(a, image);
  st.counters["fps"] = benchmark::Counter(static_cast<double>(st.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TickPreset5)->Unit(benchmark::kMicrosecond);

// The window's own tick, copy to the screen included.
void BM_WindowTick(benchmark::State& st) {
  brevold::AppState a;
  brevold::TMainForm form(a);
  form.Timer1->stop();
  form.show();
  for (auto _ : st) form.Timer1Timer();
  st.counters["fps"] = benchmark::Counter(static_cast<double>(st.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WindowTick)->Unit(benchmark::kMicrosecond);

void BM_CopyToWindow(benchmark::State& st) {
  brevold::AppState a;
  brevold::TMainForm form(a);
  form.Timer1->stop();
  form.show();
  form.Timer1Timer();
  // The client's paint (the frame copied under the controls) into a window-sized surface.
  QImage window(form.Client->size(), QImage::Format_RGB32);
  for (auto _ : st) form.Client->render(&window, QPoint(), QRegion(), QWidget::DrawWindowBackground);
}
BENCHMARK(BM_CopyToWindow)->Unit(benchmark::kMicrosecond);

// One redraw of a diagram window: the whole sweep through the solver.
template <brevold::DiagramControls (*Draw)(brevold::Canvas&, brevold::AppState&, brevold::DiagramState&)>
void BM_Diagram(benchmark::State& st) {
  brevold::AppState a;
  brevold::StartUp(a.model);
  brevold::Solve(a.model);
  brevold::CalcCentre(a.model);
  brevold::DiagramState d;
  QImage image(632, 426, QImage::Format_RGB32);
  for (auto _ : st) {
    image.fill(Qt::white);
    brevold::QtCanvas canvas(&image);
    Draw(canvas, a, d);
  }
}
BENCHMARK_TEMPLATE(BM_Diagram, &brevold::DrawPortDia)->Name("BM_PortDiagram")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Diagram, &brevold::DrawSteamDia)->Name("BM_SteamDiagram")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Diagram, &brevold::DrawOvalDia)->Name("BM_OvalDiagram")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Diagram, &brevold::DrawSineDia)->Name("BM_SineDiagram")->Unit(benchmark::kMillisecond);

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
  for (auto _ : st) {
    brevold::QtCanvas canvas(&image);
    brevold::DrawPortDia(canvas, a, d);
  }
}
BENCHMARK(BM_PortDiagramEverySearchGivesUp)->Unit(benchmark::kMillisecond)->Iterations(2);

// A dynamic-variable bar dragged one step: apply, re-centre, and the next tick.
void BM_DynVarDragStep(benchmark::State& st) {
  brevold::AppState a;
  brevold::TMainForm form(a);
  form.Timer1->stop();
  form.show();
  a.model.undo.EditDirty = 0;
  brevold::EditorFieldExit(a.model, 3, 16.5f, "Main Rod Length");
  form.DynamicVariablesClick();
  int p = 1;
  for (auto _ : st) {
    form.SBDynVar[1]->SetPosition(p);
    p = p == 1 ? -1 : 1;
    form.Timer1Timer();
  }
}
BENCHMARK(BM_DynVarDragStep)->Unit(benchmark::kMicrosecond);

// The tick with the steam display on, at the start view and at preset 5.
void BM_TickWithSteam(benchmark::State& st) {
  brevold::AppState a;
  brevold::StartUp(a.model);
  a.screen.SteamDisp = true;
  if (st.range(0) == 5) UsePreset(a, 5);
  QImage image(brevold::FrameWidth, brevold::FrameHeight, QImage::Format_RGB32);
  for (auto _ : st) TickInto(a, image);
  st.counters["fps"] = benchmark::Counter(static_cast<double>(st.iterations()), benchmark::Counter::kIsRate);
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
  for (auto _ : st) TickInto(a, image);
}
BENCHMARK(BM_TickWithSteamLargestScale)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
